#include "ring/sector_region.h"

#include <gtest/gtest.h>
#include <math.h>

#include "tests/common/layout_sector.h"
#include "tests/win/support/gui_objects.h"

namespace {

// Whether the region holds the pixel under the point at a radius and angle
// about the sector's window-relative centre.
bool RegionHoldsPolar(HRGN region, const RingSector& sector, double radius, double angle)
{
    double x = sector.centreX + radius * cos(angle);
    double y = sector.centreY - radius * sin(angle);
    return PtInRegion(region, static_cast<int>(floor(x)), static_cast<int>(floor(y))) != 0;
}

class SectorRegionTest : public ::testing::TestWithParam<int> {};

TEST_P(SectorRegionTest, ArcsComeFromTheCirclesAndRaysFromTheWedge)
{
    RingSector sector = LayoutSector(GetParam());
    HRGN region = BuildSectorRegion(&sector);
    ASSERT_NE(region, nullptr);
    const double margin = 2.0; // pixels clear of an edge
    for (double angle = sector.startAngle + 0.05; angle < sector.endAngle - 0.05; angle += 0.01) {
        EXPECT_TRUE(RegionHoldsPolar(region, sector, sector.innerRadius + margin, angle));
        EXPECT_FALSE(RegionHoldsPolar(region, sector, sector.innerRadius - margin, angle));
        EXPECT_TRUE(RegionHoldsPolar(region, sector, sector.outerRadius - margin, angle));
        EXPECT_FALSE(RegionHoldsPolar(region, sector, sector.outerRadius + margin, angle));
    }
    for (int radius = sector.innerRadius + 3; radius <= sector.outerRadius - 3; ++radius) {
        const double step = (margin + 0.5) / radius;
        EXPECT_TRUE(RegionHoldsPolar(region, sector, radius, sector.startAngle + step));
        EXPECT_FALSE(RegionHoldsPolar(region, sector, radius, sector.startAngle - step));
        EXPECT_TRUE(RegionHoldsPolar(region, sector, radius, sector.endAngle - step));
        EXPECT_FALSE(RegionHoldsPolar(region, sector, radius, sector.endAngle + step));
    }
    DeleteObject(region);
}

TEST_P(SectorRegionTest, AgreesWithTheHitTestAwayFromTheEdges)
{
    RingSector sector = LayoutSector(GetParam());
    HRGN region = BuildSectorRegion(&sector);
    int agreed = 0;
    for (int y = -5; y < 60; ++y) {
        for (int x = -5; x < 60; ++x) {
            double dx = x - sector.centreX, dy = sector.centreY - y;
            double distance = sqrt(dx * dx + dy * dy);
            double angle = atan2(dy, dx);
            if (angle < 0)
                angle += 6.283185307179586;
            bool nearEdge = fabs(distance - sector.innerRadius) < 2 ||
                            fabs(distance - sector.outerRadius) < 2 ||
                            fabs(angle - sector.startAngle) * distance < 2 ||
                            fabs(angle - sector.endAngle) * distance < 2;
            if (nearEdge)
                continue;
            EXPECT_EQ(PtInRegion(region, x, y) != 0, SectorHitTest(&sector, x, y))
                << "pixel " << x << "," << y;
            ++agreed;
        }
    }
    EXPECT_GT(agreed, 1000);
    DeleteObject(region);
}

TEST_P(SectorRegionTest, WritesTheIconAnchorInsideTheSector)
{
    RingSector sector = LayoutSector(GetParam());
    sector.iconX = sector.iconY = -1000;
    HRGN region = BuildSectorRegion(&sector);
    EXPECT_TRUE(PtInRegion(region, sector.iconX + 10, sector.iconY + 10));
    DeleteObject(region);
}

INSTANTIATE_TEST_SUITE_P(EverySlot, SectorRegionTest, ::testing::Range(0, static_cast<int>(SLOT_COUNT)));

TEST(SectorRegion, WorkedIconAnchors)
{
    RingSector outer = LayoutSector(1);
    DeleteObject(BuildSectorRegion(&outer));
    EXPECT_EQ(outer.iconX, 8);
    EXPECT_EQ(outer.iconY, 8);
    RingSector inner = LayoutSector(0);
    DeleteObject(BuildSectorRegion(&inner));
    EXPECT_EQ(inner.iconX, 9);
    EXPECT_EQ(inner.iconY, 13);
}

TEST(SectorRegion, EveryTemporaryRegionIsDeleted)
{
    RingSector sector = LayoutSector(4);
    const unsigned before = CountGdiObjects();
    HRGN region = BuildSectorRegion(&sector);
    EXPECT_EQ(CountGdiObjects(), before + 1); // only the result lives on
    DeleteObject(region);
    for (int i = 0; i < 200; ++i)
        DeleteObject(BuildSectorRegion(&sector));
    EXPECT_EQ(CountGdiObjects(), before);
}

} // namespace
