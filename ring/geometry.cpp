#include "ring/geometry.h"

#include <math.h>

void PolarToPoint(int radius, double angle, int centreX, int centreY, int* x, int* y)
{
    // Conversion to int truncates toward zero: -19.8 gives -19, not -20.
    *x = static_cast<int>(centreX + radius * cos(angle));
    *y = static_cast<int>(centreY - radius * sin(angle));
}

// The corners (near, start), (near, end), (far, end), (far, start).
static void SectorCorners(const RingSector* sector, int nearRadius, int farRadius,
                          SectorPoint corners[4])
{
    int cx = sector->centreX, cy = sector->centreY;
    PolarToPoint(nearRadius, sector->startAngle, cx, cy, &corners[0].x, &corners[0].y);
    PolarToPoint(nearRadius, sector->endAngle, cx, cy, &corners[1].x, &corners[1].y);
    PolarToPoint(farRadius, sector->endAngle, cx, cy, &corners[2].x, &corners[2].y);
    PolarToPoint(farRadius, sector->startAngle, cx, cy, &corners[3].x, &corners[3].y);
}

void SectorBounds(const RingSector* sector, int* left, int* top, int* width, int* height)
{
    SectorPoint corners[4];
    SectorCorners(sector, sector->innerRadius, sector->outerRadius, corners);
    int minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const SectorPoint& corner : corners) {
        minX = corner.x < minX ? corner.x : minX;
        maxX = corner.x > maxX ? corner.x : maxX;
        minY = corner.y < minY ? corner.y : minY;
        maxY = corner.y > maxY ? corner.y : maxY;
    }
    *left = minX;
    *top = minY;
    *width = maxX - minX;
    *height = maxY - minY;
}

void SectorWedgePoints(const RingSector* sector, SectorPoint points[4])
{
    SectorCorners(sector, sector->innerRadius, 3 * sector->outerRadius / 2, points);
}

void SectorIconAnchor(RingSector* sector, int dpi)
{
    const int offset = Scale(10, dpi);
    int middleRadius = sector->innerRadius + (sector->outerRadius - sector->innerRadius) / 2;
    double middleAngle = sector->startAngle + (sector->endAngle - sector->startAngle) * 0.5;
    int x, y;
    PolarToPoint(middleRadius, middleAngle, sector->centreX, sector->centreY, &x, &y);
    sector->iconX = x - offset;
    sector->iconY = y - offset;
}

RingSector LayOutSector(const RingSector* given, int dpi, SectorBox* box)
{
    RingSector sector = *given;
    sector.centreX = Scale(given->centreX, dpi);
    sector.centreY = Scale(given->centreY, dpi);
    sector.innerRadius = Scale(given->innerRadius, dpi);
    sector.outerRadius = Scale(given->outerRadius, dpi);
    SectorBounds(&sector, &box->left, &box->top, &box->width, &box->height);
    sector.centreX -= box->left;
    sector.centreY -= box->top;
    return sector;
}

bool SectorHitTest(const RingSector* sector, int x, int y)
{
    // 64-bit squares: a captured pointer far outside the window (the mouse
    // position arrives as unsigned 16-bit values) must not wrap into the ring.
    long long dx = x - sector->centreX;
    long long dy = y - sector->centreY;
    long long distanceSquared = dx * dx + dy * dy;
    long long inner = sector->innerRadius, outer = sector->outerRadius;
    if (distanceSquared < inner * inner || distanceSquared > outer * outer)
        return false;
    double theta = atan2(static_cast<double>(-dy), static_cast<double>(dx));
    if (-dy < 0)
        theta += 6.283185307179586;
    return sector->startAngle <= theta && theta <= sector->endAngle;
}
