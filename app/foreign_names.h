// Names of files that the user picks or drops come from the shell as
// UTF-16, and the launcher keeps ANSI paths in the system's code page. A
// name the code page cannot hold is kept whole beside its best ANSI form,
// and the system is asked with the whole name.
#ifndef ZRONDEL_APP_FOREIGN_NAMES_H
#define ZRONDEL_APP_FOREIGN_NAMES_H

#include <windows.h>

// A heap copy in ANSI that names the same file: the path itself where the
// code page holds every letter of it (unless only the short form is asked
// for), otherwise its short 8.3 form where that converts exactly. Null when
// neither does, or without memory.
char* AnsiPathOf(const wchar_t* path, bool shortForm = false);
// Sets a slot's pair of path fields (target and wholeTarget, or workFolder
// and wholeWorkFolder) from a name the shell gave: *ansi to the name itself
// where the code page holds every letter of it, else to its 8.3 alias where
// that converts exactly, else to its readable form; *whole to a copy of the
// name where *ansi is not the name itself, else null. False without memory,
// both fields then as they were.
bool SetSlotPath(char** ansi, char16_t** whole, const wchar_t* path);
// The name the system is asked with: the whole name where there is one,
// else the ANSI one in UTF-16. A heap copy; null for none or without memory.
wchar_t* SystemPathOf(const char* ansi, const char16_t* whole);

#endif
