#include "base/slots.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <string>

namespace {

const double kDegree = 3.14159265358979323846 / 180.0;

std::string Hint(const char* path)
{
    char* hint = DeriveHint(path);
    std::string copy = hint;
    free(hint);
    return copy;
}

TEST(SlotTable, StartsWithEverySlotEmptyAndUnassigned)
{
    LauncherSlot* slots = AllocateSlotTable();
    ASSERT_NE(slots, nullptr);
    for (int i = 0; i < SLOT_COUNT; ++i) {
        EXPECT_EQ(slots[i].target, nullptr);
        EXPECT_EQ(slots[i].extra, nullptr);
        EXPECT_EQ(slots[i].hint, nullptr);
        EXPECT_EQ(slots[i].workFolder, nullptr);
        EXPECT_EQ(slots[i].index, 0);
        EXPECT_EQ(slots[i].button, nullptr);
        EXPECT_EQ(slots[i].icon, nullptr);
    }
    FreeSlotTable(slots);
}

TEST(SlotTable, FreesEveryOwnedText)
{
    // Runs under LeakSanitizer in the native build: a text left behind fails.
    LauncherSlot* slots = AllocateSlotTable();
    for (int i = 0; i < SLOT_COUNT; ++i) {
        slots[i].target = CopyText("C:\\t.exe");
        slots[i].extra = CopyText("x");
        slots[i].hint = CopyText("t");
        slots[i].workFolder = CopyText("C:\\");
    }
    FreeSlotTable(slots);
    FreeSlotTable(nullptr);
}

TEST(SlotTable, SettingsStartValues)
{
    EXPECT_TRUE(kSettingsStartValues.hideAfterLaunch);
    EXPECT_FALSE(kSettingsStartValues.showAtStart);
    EXPECT_EQ(kSettingsStartValues.windowLeft, 0);
    EXPECT_EQ(kSettingsStartValues.windowTop, 0);
}

TEST(Texts, CopyAndReplaceMakeExactCopies)
{
    char source[] = "hint";
    char* copy = CopyText(source);
    source[0] = 'X';
    EXPECT_STREQ(copy, "hint");
    ReplaceText(&copy, "other");
    EXPECT_STREQ(copy, "other");
    ReplaceText(&copy, nullptr);
    EXPECT_EQ(copy, nullptr);
}

TEST(DeriveHint, IsTheFileNameWithoutItsExtension)
{
    EXPECT_EQ(Hint("C:\\Tools\\app.exe"), "app");
    EXPECT_EQ(Hint("C:\\a\\archive.tar.gz"), "archive.tar");
    EXPECT_EQ(Hint("C:\\Program Files"), "Program Files");
    EXPECT_EQ(Hint("C:\\x\\.profile"), ".profile");
    EXPECT_EQ(Hint("notepad.exe"), "notepad");
    EXPECT_EQ(Hint("C:\\x\\name."), "name");
    EXPECT_EQ(Hint("C:\\dots.in\\noext"), "noext");
}

TEST(DeriveHint, OfAWholeNameIsItsReadableFileNameWithoutItsExtension)
{
    for (auto [whole, expected] : {std::pair{u"C:\\\u041F\\\u03A9mega.tar.gz", "?mega.tar"},
                                   {u"D:\\x.y\\.\U0001F600", ".?"}, {u"C:\\", ""}}) {
        char* hint = DeriveHint(whole);
        ASSERT_NE(hint, nullptr);
        EXPECT_STREQ(hint, expected);
        free(hint);
    }
}

TEST(DeriveHint, DriveRootGivesAnEmptyPresentHint)
{
    char* hint = DeriveHint("C:\\");
    ASSERT_NE(hint, nullptr);
    EXPECT_STREQ(hint, "");
    free(hint);
}

TEST(RingLayout, GroupsOfOneInnerAndTwoOuterSectors)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    for (int group = 0; group < 8; ++group) {
        const double groupStart = 45.0 * group * kDegree;
        const RingLayoutEntry& inner = layout[3 * group];
        EXPECT_EQ(inner.innerRadius, 30);
        EXPECT_EQ(inner.outerRadius, 60);
        EXPECT_NEAR(inner.startAngle, groupStart + 2.5 * kDegree, 1e-12);
        EXPECT_NEAR(inner.startAngle + inner.angularWidth, groupStart + 42.5 * kDegree, 1e-12);
        for (int k = 1; k <= 2; ++k) {
            const RingLayoutEntry& outer = layout[3 * group + k];
            EXPECT_EQ(outer.innerRadius, 65);
            EXPECT_EQ(outer.outerRadius, 95);
            const double outerStart = (k == 1 ? 1.875 : 24.375) * kDegree;
            EXPECT_NEAR(outer.startAngle, groupStart + outerStart, 1e-12);
            EXPECT_NEAR(outer.angularWidth, 18.75 * kDegree, 1e-12);
        }
    }
}

TEST(RingLayout, ExactConstantsAndRunningAngleByAddition)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    EXPECT_EQ(layout[0].startAngle, 0.04363323129985824);
    EXPECT_EQ(layout[0].angularWidth, 0.6981317007977318);
    EXPECT_EQ(layout[1].startAngle, 0.032724923474893676);
    EXPECT_EQ(layout[1].angularWidth, 0.3272492347489368);
    double angle = 0.0;
    for (int i = 0; i < 15; ++i)
        angle += 0.39269908169872414;
    EXPECT_EQ(layout[23].startAngle, angle + 0.032724923474893676);
}

TEST(RingLayout, NoOverlapAndNoSectorCrossesZero)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    double lastInnerEnd = 0.0, lastOuterEnd = 0.0;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        double& lastEnd = (i % 3 == 0) ? lastInnerEnd : lastOuterEnd;
        EXPECT_GT(layout[i].startAngle, lastEnd) << "slot " << i;
        lastEnd = layout[i].startAngle + layout[i].angularWidth;
    }
    EXPECT_NEAR(lastOuterEnd, 358.125 * kDegree, 1e-12);
    EXPECT_NEAR(lastInnerEnd, 357.5 * kDegree, 1e-12);
    EXPECT_LT(lastOuterEnd, 2 * 3.14159265358979323846);
}

TEST(Messages, EditRequestAndChangeNoticeShareOneValue)
{
    EXPECT_EQ(UM_EDITSLOT, 1038);
    EXPECT_EQ(UM_SLOTCHANGED, UM_EDITSLOT);
}

} // namespace
