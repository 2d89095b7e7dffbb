// The line editor control, window class "LEditor": one line of ANSI text with
// selection, word motion, undo and redo, the clipboard and a context menu.
// Its text goes in and out only through WM_SETTEXT, WM_GETTEXT and
// WM_GETTEXTLENGTH; it sends nothing to its parent.
#ifndef ZRONDEL_LEDITOR_LEDITOR_H
#define ZRONDEL_LEDITOR_LEDITOR_H

#include <windows.h>

// Registers the class once (later calls return the kept atom; 0 when
// registration failed, tried again next time) and builds the shared
// context menu.
ATOM RegisterLEditorClass(HINSTANCE instance);
// Unregisters the class and forgets the atom; the menu stays for the process.
void UnregisterLEditorClass(HINSTANCE instance);
// A visible child editor; null on failure.
HWND CreateLEditor(HWND parent, int x, int y, int width, int height);

#endif
