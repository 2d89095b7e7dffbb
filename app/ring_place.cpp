#include "app/ring_place.h"

#include "base/dpi.h"

namespace {

const RECT* placeUnderway; // the place PlaceRing is moving the ring to; null otherwise

} // namespace

RECT RingPlaceAround(POINT centre)
{
    const int size = Scale(RING_SIZE, DpiAtPoint(centre));
    const int left = centre.x - size / 2, top = centre.y - size / 2;
    return {left, top, left + size, top + size};
}

void PlaceRing(HWND ring, RECT place, UINT flags)
{
    // Onto a monitor of another scale the system changes the ring's DPI on
    // the way, and the place it suggests then is scaled from the old size.
    placeUnderway = &place;
    SetWindowPos(ring, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | flags);
    placeUnderway = nullptr;
}

const RECT* RingPlaceUnderway()
{
    return placeUnderway;
}
