// Entry points of the system folder's libraries, loaded when first asked for.
#ifndef ZRONDEL_BASE_SYSTEM_LIBRARY_H
#define ZRONDEL_BASE_SYSTEM_LIBRARY_H

#include <windows.h>

typedef void (*AnyEntry)(); // what GetProcAddress finds, before it is given its type
// An entry point of a library of the system folder, loaded on first use
// and kept: only the choosers need the common dialogs and COM, only an
// assistive tool needs oleacc, and most runs never open one or meet one.
// Null when the library or the entry is missing.
AnyEntry SystemEntry(const char* library, const char* name);

#endif
