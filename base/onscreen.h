// Keeping the launcher's windows within reach: the ring, its tooltip and its
// hint dialog are moved onto a monitor's work area (the screen less the
// taskbar) when the place they would take leaves them out of sight.
#ifndef ZRONDEL_BASE_ONSCREEN_H
#define ZRONDEL_BASE_ONSCREEN_H

// The start of a span `length` long, moved the least distance that puts the
// span inside [low, high). A span longer than the room starts at low, so its
// beginning (a window's caption corner) stays in sight.
int ShiftInside(int start, int length, int low, int high);
// A stored coordinate brought within +-2^30. Every screen lies far inside
// that, so a coordinate beyond it is as far off any of them as before, and a
// window's size can be added to it without overflow.
int NearTheScreens(int coordinate);

#ifdef _WIN32
#include <windows.h>

// True when the point lies on one of the monitors.
bool IsOnAMonitor(POINT at);
// The place moved the least distance that makes it whole on the work area
// of the monitor nearest to the point, its size unchanged.
RECT WholeOnWorkArea(RECT place, POINT monitorPoint);
#endif

#endif
