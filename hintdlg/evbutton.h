// The hint dialog's push button, window class "EVButton": a self-painted
// rounded face in two blues with an icon at its left and a white caption. It
// follows the pointer with the mouse capture, takes no keyboard input and
// reports a completed click to its parent as WM_COMMAND.
#ifndef ZRONDEL_HINTDLG_EVBUTTON_H
#define ZRONDEL_HINTDLG_EVBUTTON_H

#include <windows.h>

// Allocated zero-filled by CreateEVButton, handed over as creation data and
// kept in the window's user data from WM_CREATE until WM_DESTROY.
struct EVButtonState {
    HWND window;        // the button itself; set in WM_CREATE
    int width;          // creation width in pixels; drawing uses it, not the client size
    int height;         // creation height in pixels
    int commandId;      // wParam of the click's WM_COMMAND; also the control identifier
    wchar_t* caption;   // own exact-size heap copy as drawn: UTF-16, NUL-terminated;
                        //   never null
    HBRUSH normalBrush; // solid normal blue face while the pointer is away; owned
    HBRUSH hoverBrush;  // solid light blue face while the pointer is over it; owned
    HFONT font;         // caption font; the caller's, never deleted here
    HICON icon;         // drawn at the left; the caller's, never destroyed here
    bool hovered;       // the pointer is over the button, which then holds the capture
    bool pressed;       // the left button went down on it and the capture has
                        //   not been lost since
    int dpi;            // the DPI of its window when made: icon and outline scale with it
};

// Registers "EVButton" on the first call; later calls return the kept atom.
ATOM RegisterEVButtonClass(HINSTANCE instance);
// Unregisters the class (the system deletes its background brush) and
// forgets the atom, so that a later RegisterEVButtonClass registers it
// anew. False, with nothing changed, while a button of the class exists.
bool UnregisterEVButtonClass(HINSTANCE instance);

// A visible child button at the given place in parent client coordinates,
// whose click sends WM_COMMAND (wParam commandId, lParam 0) to parent. The
// caption, a fixed Windows-1251 text of the caller, is copied (null counts as
// empty) and, as UTF-16, also names the window; icon and font stay the
// caller's and must outlive the button. Null when it cannot be made.
HWND CreateEVButton(HWND parent, int commandId, const char* caption, HICON icon, HFONT font,
                    int x, int y, int width, int height);

LRESULT CALLBACK EVButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Paints the whole button in its current look on a DC of its window.
void DrawEVButton(const EVButtonState* button, HDC dc);

#endif
