#include "hintdlg/evbutton_layout.h"

#include <gtest/gtest.h>

namespace {

// The hint dialog's buttons are 80 x 30.
TEST(EVButtonLayout, DialogButtonIdleAndHot)
{
    for (bool hovered : {false, true}) {
        EVButtonLayout layout = LayoutEVButton(80, 30, 80, hovered, false);
        EXPECT_EQ(layout.faceLeft, 1);
        EXPECT_EQ(layout.faceTop, 1);
        EXPECT_EQ(layout.faceRight, 78);
        EXPECT_EQ(layout.faceBottom, 28);
        EXPECT_EQ(layout.cornerSize, 15);
        EXPECT_EQ(layout.iconX, 5);
        EXPECT_EQ(layout.iconY, 5);
        EXPECT_EQ(layout.iconSide, 20);
        EXPECT_EQ(layout.captionLeft, 25);
        EXPECT_EQ(layout.captionRight, 78);
    }
}

TEST(EVButtonLayout, HeldOverTheButtonTheIconGrowsAndTheCaptionMoves)
{
    EVButtonLayout held = LayoutEVButton(80, 30, 80, true, true);
    EXPECT_EQ(held.iconX, 2);
    EXPECT_EQ(held.iconY, 2);
    EXPECT_EQ(held.iconSide, 26);
    EXPECT_EQ(held.captionLeft, 28);
    EXPECT_EQ(held.captionRight, 78);
    EXPECT_EQ(held.faceRight, 78);
    EXPECT_EQ(held.cornerSize, 15);
}

TEST(EVButtonLayout, HeldButDraggedOffLooksIdle)
{
    EVButtonLayout idle = LayoutEVButton(80, 30, 80, false, false);
    EVButtonLayout away = LayoutEVButton(80, 30, 80, false, true);
    EXPECT_EQ(away.iconX, idle.iconX);
    EXPECT_EQ(away.iconY, idle.iconY);
    EXPECT_EQ(away.iconSide, idle.iconSide);
    EXPECT_EQ(away.captionLeft, idle.captionLeft);
}

TEST(EVButtonLayout, HalvesTruncateTowardZero)
{
    EVButtonLayout odd = LayoutEVButton(60, 25, 60, false, false);
    EXPECT_EQ(odd.iconY, 2);      // 5 / 2
    EXPECT_EQ(odd.cornerSize, 12); // 25 / 2
    // Lower than the icon: (15 - 20) / 2 is -2, not -3; held, 3 higher.
    EVButtonLayout low = LayoutEVButton(60, 15, 60, true, true);
    EXPECT_EQ(low.iconY, -5);
    EXPECT_EQ(low.cornerSize, 7);
}

TEST(EVButtonLayout, FaceFollowsTheCreationSizeCaptionTheClientWidth)
{
    // A button resized after creation keeps its face but not its caption box.
    EVButtonLayout layout = LayoutEVButton(80, 30, 120, false, false);
    EXPECT_EQ(layout.faceRight, 78);
    EXPECT_EQ(layout.captionRight, 118);
}

} // namespace
