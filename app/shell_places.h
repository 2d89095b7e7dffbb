// Targets that are no file: web links and places of the shell (This PC,
// the apps folder). The shell starts them and gives their icons by their
// UTF-16 names.
#ifndef ZRONDEL_APP_SHELL_PLACES_H
#define ZRONDEL_APP_SHELL_PLACES_H

#include <windows.h>

// Takes the thread into OLE's apartment once and keeps it there: drags and
// the shell's namespace need it. False when OLE cannot be had.
bool JoinOle();

// What is asked of the program that opens a scheme's links.
enum SchemeQuestion {
    SCHEME_ICON,    // the icon the scheme names, as "file,index"
    SCHEME_PROGRAM, // the program's path
    SCHEME_NAME     // the program's name as people know it
};
// The answer for a link's scheme ("https") into the buffer; false for a
// scheme no program has registered. Safe beside threads that open files.
bool AskScheme(const wchar_t* scheme, SchemeQuestion question, wchar_t* answer, DWORD capacity);

// The link or place (by its whole name where it has one) opened by the
// shell's default verb, without a working folder, on the ring's monitor for
// programs that honour it. A failure is not reported.
void LaunchShellPlace(const char* target, const char16_t* whole, HMONITOR monitor);
// A link's handler's icon (the browser's) or a place's own icon, at 32
// pixels scaled for the dpi; null when the shell has none.
HICON ShellPlaceIcon(const char* target, const char16_t* whole, int dpi);

#endif
