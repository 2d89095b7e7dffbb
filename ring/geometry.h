// Arithmetic of one ring sector: the area between two circles about a centre
// and between two rays. Angles are radians counter-clockwise from the
// positive x axis as seen on the screen (screen y grows downward); points
// from polar values are truncated toward zero. Platform-free.
#ifndef ZRONDEL_RING_GEOMETRY_H
#define ZRONDEL_RING_GEOMETRY_H

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

// Writes iconX and iconY: the middle of the sector minus 10 each way.
void SectorIconAnchor(RingSector* sector);

// True when the point (window coordinates) lies on the sector; both circles
// and both rays count as inside.
bool SectorHitTest(const RingSector* sector, int x, int y);

#endif
