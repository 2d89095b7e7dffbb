// The window region that gives a ring button its sector shape.
#ifndef ZRONDEL_RING_SECTOR_REGION_H
#define ZRONDEL_RING_SECTOR_REGION_H

#include <windows.h>

#include "ring/geometry.h"

// A new region in window coordinates (centre already window-relative) that
// the caller owns; also writes the icon anchor for the dpi. Both arcs come
// from elliptic regions; the wedge polygon only supplies the two straight edges.
HRGN BuildSectorRegion(RingSector* sector, int dpi = BASE_DPI);

#endif
