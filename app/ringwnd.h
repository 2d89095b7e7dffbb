// The ring window: the round face that holds the 24 ring buttons, owns the
// tooltip and the hint edit dialog, and carries out the menu commands.
#ifndef ZRONDEL_APP_RINGWND_H
#define ZRONDEL_APP_RINGWND_H

#include <windows.h>

#include "app/launcher_record.h"

extern const char kRingWindowClass[]; // "ZR_Main_Window_Class"

struct RingWindowState {
    HWND window;     // the ring window
    HFONT font;      // "Comic Sans MS", height -12 scaled for dpi; lent to the tooltip, deleted with the window
    HWND toolTip;    // the hint pop-up, owned by the ring window
    HWND editDialog; // the hint edit dialog, owned by the ring window
    int currentSlot; // slot the next slot command applies to; -1 for none
    int dpi;         // the DPI of the monitor it is on: its size, font, buttons and icons follow it
};

extern RingWindowState ringWindow;

ATOM RegisterRingWindowClass(HINSTANCE instance, HICON icon, HBRUSH background);
// Creates the hidden 200 x 200 window (scaled for its monitor's DPI) at the
// stored place; it shows itself when showAtStart is set.
HWND CreateRingWindow(HINSTANCE instance);
// Records the window's place and visibility, then destroys it: the only way
// the ring window ends.
void CloseRingWindow(HWND window);
// Checks "Не прятать" in the main menu while the ring stays after a launch.
void ShowHidingMark();

LRESULT CALLBACK RingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
