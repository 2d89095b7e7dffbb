// A UTF-16 name in the system's ANSI code page for reading, as in a hint.
#ifndef ZRONDEL_BASE_READABLE_TEXT_H
#define ZRONDEL_BASE_READABLE_TEXT_H

#include <stddef.h>

// The length code units of text in ANSI: letters the code page lacks become
// their nearest or '?' (natively, where there is no code page, every letter
// outside ASCII is a '?'). A NUL-terminated heap copy; null without memory.
char* ReadableAnsi(const char16_t* text, size_t length);

#endif
