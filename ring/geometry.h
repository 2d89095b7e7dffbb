// Arithmetic of one ring sector: the area between two circles about a centre
// and between two rays. Angles are radians counter-clockwise from the
// positive x axis as seen on the screen (screen y grows downward); points
// from polar values are truncated toward zero. Platform-free.
#ifndef ZRONDEL_RING_GEOMETRY_H
#define ZRONDEL_RING_GEOMETRY_H

#include "base/dpi.h"

struct RingSector {
    int centreX;       // ring centre: parent client coordinates until the window
    int centreY;       //   rectangle is known, window-relative after that
    double startAngle; // first ray
    double endAngle;   // second ray; start + angular width, below 2 pi
    int innerRadius;   // pixels, smaller than outerRadius
    int outerRadius;
    int iconX;         // top-left corner of the 20 x 20 icon centred on the
    int iconY;         //   sector, window coordinates (SectorIconAnchor)
};

struct SectorPoint {
    int x;
    int y;
};

void PolarToPoint(int radius, double angle, int centreX, int centreY, int* x, int* y);

// The window rectangle from the four corner points, centre in parent
// coordinates. The bulge of the outer arc is not considered.
void SectorBounds(const RingSector* sector, int* left, int* top, int* width, int* height);

// The polygon whose long sides lie on the two rays: it cuts the ring only
// along them, its far edge lying outside the outer circle.
void SectorWedgePoints(const RingSector* sector, SectorPoint points[4]);

// Writes iconX and iconY: the middle of the sector minus 10 each way, that
// offset scaled for the dpi.
void SectorIconAnchor(RingSector* sector, int dpi = BASE_DPI);

// Where a sector given at 96 DPI (centre in parent coordinates) lies at the
// dpi: the given's centre and radii scaled, its angles kept; the window
// rectangle from SectorBounds of that, and the sector with its centre made
// window-relative. At 96 DPI it is the given sector exactly.
struct SectorBox {
    int left; // in the parent's client coordinates
    int top;
    int width;
    int height;
};
RingSector LayOutSector(const RingSector* given, int dpi, SectorBox* box);

// True when the point (window coordinates) lies on the sector; both circles
// and both rays count as inside.
bool SectorHitTest(const RingSector* sector, int x, int y);

#endif
