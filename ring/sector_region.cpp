#include "ring/sector_region.h"

HRGN BuildSectorRegion(RingSector* sector, int dpi)
{
    int cx = sector->centreX, cy = sector->centreY;
    int inner = sector->innerRadius, outer = sector->outerRadius;

    HRGN ring = CreateEllipticRgn(cx - inner, cy - inner, cx + inner, cy + inner);
    HRGN outerDisc = CreateEllipticRgn(cx - outer, cy - outer, cx + outer, cy + outer);
    CombineRgn(ring, outerDisc, ring, RGN_DIFF);
    DeleteObject(outerDisc);

    SectorPoint corners[4];
    SectorWedgePoints(sector, corners);
    POINT polygon[4];
    for (int i = 0; i < 4; ++i)
        polygon[i] = {corners[i].x, corners[i].y};
    HRGN wedge = CreatePolygonRgn(polygon, 4, WINDING);
    CombineRgn(ring, ring, wedge, RGN_AND);
    DeleteObject(wedge);

    SectorIconAnchor(sector, dpi);
    return ring;
}
