// Where the ring goes when it is brought to a point: at its size for the
// monitor there, so that a monitor of another scale gets it whole.
#ifndef ZRONDEL_APP_RING_PLACE_H
#define ZRONDEL_APP_RING_PLACE_H

#include <windows.h>

enum { RING_SIZE = 200 }; // the ring's side at 96 DPI

// The ring's place centred on the screen point, at its size for the DPI of
// the monitor there.
RECT RingPlaceAround(POINT centre);
// Moves the ring onto the place RingPlaceAround gave (or one shifted from
// it), with the SWP_ flags.
void PlaceRing(HWND ring, RECT place, UINT flags);
// While PlaceRing moves the ring: the place, which a scale change on the
// way keeps; null otherwise.
const RECT* RingPlaceUnderway();

#endif
