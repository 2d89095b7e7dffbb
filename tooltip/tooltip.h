// The tooltip: a borderless, disabled pop-up that shows one line of text with
// an optional 32 x 32 icon before it, inside a 1-pixel frame, and sizes itself
// to fit. It is fed only with standard messages: WM_SETTEXT (SetWindowTextA)
// and WM_SETICON; it is moved, shown (without activation) and hidden by its
// owner. It never takes the focus or mouse input.
#ifndef ZRONDEL_TOOLTIP_TOOLTIP_H
#define ZRONDEL_TOOLTIP_TOOLTIP_H

#include <windows.h>

#include "tooltip/tooltip_layout.h"

extern const char kToolTipClassName[]; // "ZR_ToolTip_Class"

// One per tooltip window, in its GWLP_USERDATA from WM_CREATE to WM_DESTROY.
// The creation data is a value of this record with font and colours set.
struct ToolTipState {
    HFONT font;         // measures and draws the text; the caller's, never deleted here
    COLORREF textColor; // text and the 1-pixel frame
    COLORREF backColor; // everything inside the frame
    char* text;         // own exact-size heap copy; null when the last text set was empty
    HICON icon;         // drawn at the left, or null; the caller's (the slot's), never destroyed here
    HWND window;        // the tooltip window itself
    int dpi;            // the DPI its icon and padding are scaled for, the font's
};

// Registers the class on the first call (with CS_DROPSHADOW where the system
// draws it) and answers the kept atom on every later one.
ATOM RegisterToolTipClass(HINSTANCE instance);

// Unregisters the class by name, so that a later registration starts afresh.
void UnregisterToolTipClass(HINSTANCE instance);

// A hidden tooltip owned by owner, on the instance the class was registered
// with; null when the window cannot be made.
HWND CreateToolTip(HWND owner, HFONT font, COLORREF backColor, COLORREF textColor, int dpi = BASE_DPI);
// Takes the font made for another DPI and fits itself again.
void SetToolTipScale(HWND tip, HFONT font, int dpi);

// Whether GetVersionExA reports a system that draws class drop shadows.
bool SupportsDropShadow();

// Measures text and icon with the font and resizes the window on the spot
// (position and z-order kept, no activation), then invalidates it.
void FitToolTip(ToolTipState* state);

// Frame, fill, icon at (1, 1) and the text on one line after the icon room.
// Everything selected into dc is put back.
void DrawToolTip(const ToolTipState* state, HDC dc);

LRESULT CALLBACK ToolTipWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
