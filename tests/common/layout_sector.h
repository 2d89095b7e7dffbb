// The sector of a ring layout slot as a ring button holds it: the centre made
// window-relative with the bounds' top-left corner.
#ifndef ZRONDEL_TESTS_LAYOUT_SECTOR_H
#define ZRONDEL_TESTS_LAYOUT_SECTOR_H

#include "app/slots.h"
#include "ring/geometry.h"

inline RingSector LayoutSector(int slot, int* left = nullptr, int* top = nullptr)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    const RingLayoutEntry& entry = layout[slot];
    RingSector sector = {RING_CENTRE_X, RING_CENTRE_Y, entry.startAngle,
                         entry.startAngle + entry.angularWidth, entry.innerRadius,
                         entry.outerRadius, 0, 0};
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
