// The ring button: a sector-shaped child control that paints itself, follows
// the pointer with the mouse capture and reports hovering, clicks, right
// clicks and dropped files to its parent.
#ifndef ZRONDEL_RING_VBUTTON_H
#define ZRONDEL_RING_VBUTTON_H

#include <windows.h>

#include "ring/geometry.h"

struct AccessibleTraits;

struct VButtonState {
    HWND window;        // the button's own window; set in WM_CREATE
    RingSector sector;  // centre window-relative once created; icon anchor in client pixels
    HBRUSH normalBrush; // solid RGB(0, 136, 204): the idle face
    HBRUSH hoverBrush;  // solid RGB(85, 170, 255): the face under the pointer
    HICON icon;         // the slot's icon, owned by the button; null draws no icon
    bool hovered;       // the pointer is over the sector
    BYTE pressState;    // 0 none, 1 pressed with the left button, 2 with the right
    int slot;           // slot index 0..23; also the control identifier
    RingSector given;   // the sector as created: at 96 DPI, centre in the parent
    int dpi;            // the DPI the sector is laid out and its icon drawn for
    bool chosen;        // the keyboard's choice: drawn as hovered, its tooltip shown
};

// Registers "VButton" once and keeps the atom; 0 when registration fails.
ATOM RegisterVButtonClass(HINSTANCE instance);
// Unregisters the class and deletes its background brush.
void UnregisterVButtonClass();

// Creates the button for a sector about (centreX, centreY) in the parent's
// client area, measures given at 96 DPI and laid out for the dpi. The icon
// passes to the button. Null when creation fails.
HWND CreateVButton(HWND parent, int slot, HICON icon, int centreX, int centreY,
                   double startAngle, double angularWidth, int innerRadius, int outerRadius,
                   int dpi = BASE_DPI);
// The button's record, null before WM_CREATE and after WM_DESTROY.
VButtonState* VButtonStateOf(HWND button);
// Lays the button out again for another DPI: place, size, region and icon
// anchor; it is drawn when its parent next paints.
void RescaleVButton(HWND button, int dpi);

// What assistive tools are told of every ring button; until it is set,
// what the system tells of any window.
void SetVButtonAccess(const AccessibleTraits* access);
// Makes the button the keyboard's choice, or no more: it repaints and tells
// its parent as when the pointer comes onto it or leaves (UM_SLOTHOVER).
void SetVButtonChosen(HWND button, bool chosen);
// Lights the button as hovered, or no more, without the capture that a
// drag holds: it repaints and tells its parent as the pointer does.
void SetVButtonHovered(HWND button, bool hovered);
// The top-left corner of the icon drawn in the sector, on the screen.
POINT VButtonIconAnchor(const VButtonState* state);

LRESULT CALLBACK VButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void DrawVButton(const VButtonState* state, HDC dc);

#endif
