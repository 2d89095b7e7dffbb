// The program's own fixed texts (menu entries, button captions) are kept as
// Windows-1251 bytes. They reach the screen through the wide calls after
// this conversion, never through the system's ANSI code page, so that they
// read the same on every Windows.
#ifndef ZRONDEL_BASE_FIXED_TEXT_H
#define ZRONDEL_BASE_FIXED_TEXT_H

// Writes the NUL-terminated Windows-1251 text into wide as UTF-16, NUL
// included: one character per byte, so capacity must be at least the text's
// length plus 1. Returns the length without the NUL.
int WidenFixedText(const char* text, wchar_t* wide, int capacity);

#endif
