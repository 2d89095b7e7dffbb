#include "base/onscreen.h"

#include <gtest/gtest.h>
#include <limits.h>

namespace {

// A 200-pixel window on a monitor spanning [-1280, 0), left of the primary one.
TEST(ShiftInside, MovesTheLeastDistanceOntoTheRoom)
{
    EXPECT_EQ(ShiftInside(-1000, 200, -1280, 0), -1000); // whole already: unchanged
    EXPECT_EQ(ShiftInside(-1300, 200, -1280, 0), -1280); // past the low edge
    EXPECT_EQ(ShiftInside(-150, 200, -1280, 0), -200);   // past the high edge
    EXPECT_EQ(ShiftInside(5000, 200, -1280, 0), -200);   // far off: onto the nearer edge
    EXPECT_EQ(ShiftInside(-150, 2000, -1280, 0), -1280); // longer than the room: its start shows
    EXPECT_EQ(ShiftInside(INT_MAX - 5, 200, -1280, 0), -200); // near the ends of the range: no wrap
    EXPECT_EQ(ShiftInside(INT_MIN, 200, -1280, 0), -1280);
    // A stored place that far off is brought near first, as far off as before.
    EXPECT_EQ(NearTheScreens(-50), -50);
    EXPECT_EQ(NearTheScreens(INT_MAX), 1 << 30);
    EXPECT_EQ(NearTheScreens(INT_MIN), -(1 << 30));
}

} // namespace
