// The sector of a ring layout slot as a ring button holds it: the centre made
// window-relative with the bounds' top-left corner.
#ifndef ZRONDEL_TESTS_LAYOUT_SECTOR_H
#define ZRONDEL_TESTS_LAYOUT_SECTOR_H

#include "base/slots.h"
#include "ring/geometry.h"

// As the ring layout gives it: at 96 DPI, centred in the parent.
inline RingSector GivenSector(int slot)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    const RingLayoutEntry& entry = layout[slot];
    return {RING_CENTRE_X, RING_CENTRE_Y, entry.startAngle, entry.startAngle + entry.angularWidth,
            entry.innerRadius, entry.outerRadius, 0, 0};
}

inline RingSector LayoutSector(int slot, int* left = nullptr, int* top = nullptr)
{
    RingSector sector = GivenSector(slot);
    int x, y, width, height;
    SectorBounds(&sector, &x, &y, &width, &height);
    sector.centreX -= x;
    sector.centreY -= y;
    if (left)
        *left = x;
    if (top)
        *top = y;
    return sector;
}

#endif
