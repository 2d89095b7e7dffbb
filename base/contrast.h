// High Contrast: while the user has it on, the launcher draws in the
// system's colours (window, window text, highlight, highlight text, button
// face and button text) instead of its own, as Windows asks of every
// program. Off, every colour is the launcher's own.
#ifndef ZRONDEL_BASE_CONTRAST_H
#define ZRONDEL_BASE_CONTRAST_H

#include <windows.h>

// Asked at every use, so that each paint follows the user's choice.
bool HighContrastOn();
// The own colour, or under High Contrast the system's colour of that
// COLOR_ index.
COLORREF ContrastColour(COLORREF own, int systemColour);
// The own brush, or under High Contrast the system's brush of the colour;
// the caller deletes neither.
HBRUSH ContrastBrush(HBRUSH own, int systemColour);
// For a top-level window, before its own handling: under High Contrast
// WM_ERASEBKGND fills the client area in the window colour, and true is
// answered (the message's result is 1); a change of High Contrast or of the
// system's colours (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE) repaints the window
// and its children now. Otherwise, and for every other message, false: the
// window handles the message as ever.
bool OnColourMessage(HWND window, UINT message, WPARAM wParam);

#endif
