#include "base/dpi.h"

#include <gtest/gtest.h>
#include <string.h>

#include <array>

#include "tests/common/layout_sector.h"

namespace {

TEST(LayOutSector, At96DpiEverySectorIsLaidOutAsBefore)
{
    for (int value = -300; value <= 300; ++value)
        ASSERT_EQ(Scale(value, BASE_DPI), value);
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        int left, top;
        RingSector before = LayoutSector(slot, &left, &top);
        SectorIconAnchor(&before);
        RingSector given = GivenSector(slot);
        SectorBox box;
        RingSector now = LayOutSector(&given, BASE_DPI, &box);
        SectorIconAnchor(&now, BASE_DPI);
        EXPECT_TRUE(box.left == left && box.top == top && memcmp(&now, &before, sizeof now) == 0) << "slot " << slot;
    }
}

// Per row: DPI, slot; bounds left, top, width, height; window-relative
// centre; radii; the wedge's corners beyond the outer circle (end, start);
// icon anchor.
TEST(LayOutSector, ScaledSectorsBoundsRegionAndIconAnchor)
{
    typedef std::array<int, 16> Row;
    const Row rows[] = {
        {120, 0, 153, 74, 46, 49, -28, 51, 38, 75, 54, -24, 83, 46, 10, 16},
        {120, 1, 200, 83, 43, 39, -75, 42, 81, 119, 91, -20, 102, 36, 10, 9},
        {120, 6, 74, 50, 49, 46, 51, 75, 38, 75, -24, -7, 46, -36, 16, 10},
        {120, 18, 126, 153, 49, 46, -1, -28, 38, 75, 74, 54, 3, 83, 7, 10},
        {144, 0, 183, 89, 56, 59, -33, 61, 45, 90, 66, -30, 101, 55, 13, 20},
        {144, 1, 241, 99, 51, 47, -91, 51, 98, 143, 109, -24, 122, 43, 11, 12},
        {144, 6, 89, 60, 59, 56, 61, 90, 45, 90, -30, -9, 55, -44, 20, 13},
        {144, 18, 151, 183, 59, 56, -1, -33, 45, 90, 90, 66, 4, 101, 9, 13},
        {192, 0, 244, 118, 75, 79, -44, 82, 60, 120, 88, -39, 135, 74, 19, 27},
        {192, 1, 321, 133, 68, 62, -121, 67, 130, 190, 145, -33, 163, 57, 15, 15},
        {192, 6, 118, 80, 79, 75, 82, 120, 60, 120, -39, -12, 74, -59, 27, 16},
        {192, 18, 202, 244, 79, 75, -2, -44, 60, 120, 119, 88, 5, 135, 12, 19},
    };
    EXPECT_EQ(Scale(-13, 144), -20); // a font's height: halves away from zero
    for (const Row& expected : rows) {
        const int dpi = expected[0], slot = expected[1];
        RingSector given = GivenSector(slot);
        SectorBox box;
        RingSector sector = LayOutSector(&given, dpi, &box);
        SectorPoint wedge[4];
        SectorWedgePoints(&sector, wedge);
        SectorIconAnchor(&sector, dpi);
        const Row actual = {dpi, slot, box.left, box.top, box.width, box.height, sector.centreX, sector.centreY,
                            sector.innerRadius, sector.outerRadius, wedge[2].x, wedge[2].y, wedge[3].x,
                            wedge[3].y, sector.iconX, sector.iconY};
        EXPECT_EQ(actual, expected);
        EXPECT_TRUE(sector.startAngle == given.startAngle && sector.endAngle == given.endAngle);
    }
}

} // namespace
