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
// WM_ERASEBKGND of a window whose class brush is its own colour: under High
// Contrast the client area in the window colour, and true; otherwise false,
// and the default erase applies.
bool EraseInContrast(HWND window, HDC dc);
// WM_SETTINGCHANGE and WM_SYSCOLORCHANGE of a top-level window: a change of
// High Contrast or of the system's colours repaints it and its children now.
void FollowColourChange(HWND window, UINT message, WPARAM action);

#endif
