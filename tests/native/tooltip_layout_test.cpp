#include "tooltip/tooltip_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolTipLayout, SizesTextWithAndWithoutIcon)
{
    // Average character width 6, text 60 x 16.
    ToolTipSize withIcon = FitToolTipMetrics(6, 60, 16, true);
    EXPECT_EQ(withIcon.width, 60 + 24 + 32);
    EXPECT_EQ(withIcon.height, 32 + 4);
    EXPECT_EQ(iconRoom, 32);

    ToolTipSize withoutIcon = FitToolTipMetrics(6, 60, 16, false);
    EXPECT_EQ(withoutIcon.width, 84);
    EXPECT_EQ(withoutIcon.height, 20);
    EXPECT_EQ(iconRoom, 0);
    EXPECT_EQ(withIcon.width - withoutIcon.width, 32);
}

TEST(ToolTipLayout, TallTextOutgrowsTheIcon)
{
    ToolTipSize size = FitToolTipMetrics(9, 120, 41, true);
    EXPECT_EQ(size.width, 120 + 36 + 32);
    EXPECT_EQ(size.height, 45);
}

TEST(ToolTipLayout, EmptyTextLeavesMarginsAndIcon)
{
    ToolTipSize iconOnly = FitToolTipMetrics(7, 0, 15, true);
    EXPECT_EQ(iconOnly.width, 28 + 32);
    EXPECT_EQ(iconOnly.height, 36);
}

TEST(ToolTipLayout, HorizontalMarginFollowsTheFontVerticalOneNever)
{
    for (int average : {1, 3, 6, 13, 40, 2}) {
        FitToolTipMetrics(average, 50, average * 3, average % 2 == 0);
        EXPECT_EQ(avgCharWidth, average);
        EXPECT_EQ(marginX, 2 * average);
        EXPECT_EQ(marginY, 4);
    }
}

TEST(DropShadow, NtAboveFourWithNonZeroMinor)
{
    const unsigned long nt = 2, windows9x = 1;
    EXPECT_FALSE(DropShadowForVersion(nt, 5, 0)); // 2000 has no class shadows
    EXPECT_TRUE(DropShadowForVersion(nt, 5, 1));
    EXPECT_TRUE(DropShadowForVersion(nt, 5, 2));
    EXPECT_FALSE(DropShadowForVersion(nt, 6, 0)); // Vista
    EXPECT_TRUE(DropShadowForVersion(nt, 6, 1));
    EXPECT_TRUE(DropShadowForVersion(nt, 6, 2));
    EXPECT_FALSE(DropShadowForVersion(nt, 10, 0)); // what a manifested program sees on 10 and 11
    EXPECT_TRUE(DropShadowForVersion(nt, 10, 1));
    EXPECT_FALSE(DropShadowForVersion(nt, 4, 0));
    EXPECT_FALSE(DropShadowForVersion(nt, 4, 90));
    EXPECT_FALSE(DropShadowForVersion(windows9x, 4, 90)); // Me
    EXPECT_FALSE(DropShadowForVersion(windows9x, 5, 1));
}

} // namespace
