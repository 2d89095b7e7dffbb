// Names of files that the user picks or drops come from the shell as
// UTF-16, and the launcher keeps ANSI paths in the system's code page. A
// path is kept only in a form that names the same file: never with a
// look-alike letter or a '?' in the place of one the code page lacks.
#ifndef ZRONDEL_APP_FOREIGN_NAMES_H
#define ZRONDEL_APP_FOREIGN_NAMES_H

#include <windows.h>

// A heap copy in ANSI that names the same file: the path itself where the
// code page holds every letter of it, otherwise its short 8.3 form where
// that converts exactly. Null when neither does, or without memory.
char* AnsiPathOf(const wchar_t* path);
// The text in ANSI for reading, as in a hint: letters the code page lacks
// become their nearest or '?'. A heap copy; null without memory.
char* ReadableAnsiText(const wchar_t* text);
// Tells the user, in a box owned by the ring, that the file's name cannot
// be kept, so nothing is assigned.
void ReportUnkeptName(HWND owner, const wchar_t* path);

#endif
