#include "ring/geometry.h"

#include <gtest/gtest.h>
#include <stdint.h>

#include "base/slots.h"
#include "tests/common/layout_sector.h"

namespace {

TEST(PolarToPoint, TruncatesTowardZero)
{
    int x, y;
    // 41 + 90 cos(132.5 deg) = -19.80 and 60 - 90 sin(132.5 deg) = -6.35.
    PolarToPoint(90, 132.5 * 3.14159265358979323846 / 180.0, 41, 60, &x, &y);
    EXPECT_EQ(x, -19);
    EXPECT_EQ(y, -6);
    // Up is a smaller screen y.
    PolarToPoint(10, 3.14159265358979323846 / 2, 0, 0, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, -10);
}

TEST(SectorBounds, FirstOuterSector)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    RingSector sector = {100, 100, layout[1].startAngle,
                         layout[1].startAngle + layout[1].angularWidth, 65, 95, 0, 0};
    int left, top, width, height;
    SectorBounds(&sector, &left, &top, &width, &height);
    EXPECT_EQ(left, 160);
    EXPECT_EQ(top, 66);
    EXPECT_EQ(width, 34);
    EXPECT_EQ(height, 31);
}

TEST(SectorGeometry, FirstOuterSectorWorkedValues)
{
    RingSector sector = LayoutSector(1);
    EXPECT_EQ(sector.centreX, -60);
    EXPECT_EQ(sector.centreY, 34);
    SectorPoint wedge[4];
    SectorWedgePoints(&sector, wedge);
    const SectorPoint expected[4] = {{4, 31}, {0, 11}, {72, -16}, {81, 29}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(wedge[i].x, expected[i].x) << "point " << i;
        EXPECT_EQ(wedge[i].y, expected[i].y) << "point " << i;
    }
    SectorIconAnchor(&sector);
    EXPECT_EQ(sector.iconX, 8);
    EXPECT_EQ(sector.iconY, 8);
}

TEST(SectorGeometry, FirstInnerSectorWorkedValues)
{
    int left, top;
    RingSector sector = LayoutSector(0, &left, &top);
    EXPECT_EQ(left, 122);
    EXPECT_EQ(top, 59);
    EXPECT_EQ(sector.centreX, -22);
    EXPECT_EQ(sector.centreY, 41);
    SectorIconAnchor(&sector);
    EXPECT_EQ(sector.iconX, 9);
    EXPECT_EQ(sector.iconY, 13);
}

TEST(SectorGeometry, InnerSectorAtNinetyTwoAndAHalfDegrees)
{
    RingSector sector = LayoutSector(6);
    EXPECT_EQ(sector.centreX, 41);
    EXPECT_EQ(sector.centreY, 60);
    SectorPoint wedge[4];
    SectorWedgePoints(&sector, wedge);
    EXPECT_EQ(wedge[2].x, -19); // flooring would give -20
    EXPECT_EQ(wedge[2].y, -6);  // and -7
}

TEST(SectorGeometry, FarRadiusOfTheWedgeIsTruncated)
{
    RingSector sector = {0, 0, 0.0, 1.0, 30, 61, 0, 0};
    SectorPoint wedge[4];
    SectorWedgePoints(&sector, wedge);
    EXPECT_EQ(wedge[3].x, 91); // 3 * 61 / 2 = 91, straight right of the centre
    EXPECT_EQ(wedge[3].y, 0);
}

TEST(SectorHitTest, FirstInnerSectorPoints)
{
    RingSector sector = LayoutSector(0);
    EXPECT_TRUE(SectorHitTest(&sector, 19, 23));  // d2 2005, 23.7 degrees
    EXPECT_TRUE(SectorHitTest(&sector, 8, 38));   // d2 909, just beyond the inner circle
    EXPECT_FALSE(SectorHitTest(&sector, 7, 40));  // d2 842 < 900
    EXPECT_FALSE(SectorHitTest(&sector, 36, 39)); // 1.97 degrees, below the start
    EXPECT_FALSE(SectorHitTest(&sector, 10, 10)); // 44.1 degrees, beyond the end
}

TEST(SectorHitTest, CirclesAndRaysCountAsInside)
{
    const double end = 0.7853981633974483; // atan2(40, 40)
    RingSector sector = {0, 0, 0.0, end, 30, 60, 0, 0};
    EXPECT_TRUE(SectorHitTest(&sector, 30, 0));   // on the inner circle, on the start ray
    EXPECT_TRUE(SectorHitTest(&sector, 60, 0));   // on the outer circle
    EXPECT_FALSE(SectorHitTest(&sector, 29, 0));
    EXPECT_FALSE(SectorHitTest(&sector, 61, 0));
    EXPECT_TRUE(SectorHitTest(&sector, 40, -40)); // exactly on the end ray
    EXPECT_FALSE(SectorHitTest(&sector, 40, -41));
}

TEST(SectorHitTest, AnglesFoldIntoOneTurn)
{
    // Straight down is 3 pi / 2, reached only through the added full turn.
    RingSector below = {0, 0, 4.6, 4.8, 30, 60, 0, 0};
    EXPECT_TRUE(SectorHitTest(&below, 0, 45));
    EXPECT_FALSE(SectorHitTest(&below, 0, -45));
    // dy = 0 counts as not below: straight left is pi.
    RingSector left = {0, 0, 3.1, 3.2, 30, 60, 0, 0};
    EXPECT_TRUE(SectorHitTest(&left, -45, 0));
}

TEST(SectorHitTest, FarCapturedPointDoesNotWrapIntoTheRing)
{
    // A position left of or above the window arrives as a large unsigned
    // value. For slot 18 this one gives d2 = 1040 in wrapped 32-bit
    // arithmetic, inside the ring, and an angle inside the sector.
    RingSector sector = LayoutSector(18);
    const int x = 35099, y = 55322;
    uint32_t dx = static_cast<uint32_t>(x - sector.centreX);
    uint32_t dy = static_cast<uint32_t>(y - sector.centreY);
    ASSERT_EQ(dx * dx + dy * dy, 1040u);
    EXPECT_FALSE(SectorHitTest(&sector, x, y));
}

TEST(SectorGeometry, EveryLayoutSectorHitsAroundItsIconAndNoNeighbour)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        int left, top;
        RingSector sector = LayoutSector(slot, &left, &top);
        SectorIconAnchor(&sector);
        const int middleX = sector.iconX + 10, middleY = sector.iconY + 10;
        EXPECT_TRUE(SectorHitTest(&sector, middleX, middleY)) << "slot " << slot;
        for (int other = 0; other < SLOT_COUNT; ++other) {
            if (other == slot)
                continue;
            int otherLeft, otherTop;
            RingSector neighbour = LayoutSector(other, &otherLeft, &otherTop);
            EXPECT_FALSE(SectorHitTest(&neighbour, middleX + left - otherLeft,
                                       middleY + top - otherTop))
                << "slot " << slot << " inside " << other;
        }
    }
}

} // namespace
