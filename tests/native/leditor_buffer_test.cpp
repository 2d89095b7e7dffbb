#include <gtest/gtest.h>

#include "tests/native/editor_fixture.h"

namespace {

using BufferTest = EditorTest;

TEST_F(BufferTest, CapacityFollowsTheLengthBothWays)
{
    EXPECT_EQ(state_.text, nullptr);
    Type("a");
    EXPECT_EQ(state_.capacity, 32);
    Type(std::string(30, 'b'));
    EXPECT_EQ(state_.length, 31);
    EXPECT_EQ(state_.capacity, 32);
    Type("c");
    EXPECT_EQ(state_.capacity, 64);
    DeleteBackward(&state_);
    EXPECT_EQ(state_.length, 31);
    EXPECT_EQ(state_.capacity, 32);
    EXPECT_EQ(Text(), "a" + std::string(30, 'b'));
}

TEST_F(BufferTest, SpliceShrinksTheBufferWithTheText)
{
    Load(std::string(40, '*'));
    ASSERT_TRUE(Splice(&state_, 5, 40, "xy", 2));
    EXPECT_EQ(Text(), "*****xy");
    EXPECT_EQ(state_.capacity, 32);
    EXPECT_EQ(state_.caret, 0) << "splicing leaves the caret alone";
}

TEST_F(BufferTest, OverwriteAppendsAtTheEndAndReplacesInside)
{
    Load("abc");
    state_.overwrite = 1;
    state_.caret = state_.anchor = 1;
    Type("X");
    EXPECT_EQ(Text(), "aXc");
    EXPECT_EQ(state_.caret, 2);
    state_.caret = state_.anchor = 3;
    Type("Y");
    EXPECT_EQ(Text(), "aXcY");
    Select(0, 3);
    Type("Z");
    EXPECT_EQ(Text(), "ZY");
    EXPECT_EQ(state_.caret, 1);
    EXPECT_EQ(state_.anchor, 1);
}

TEST_F(BufferTest, TypingReplacesTheSelectionWhicheverWayItRuns)
{
    Load("hello world");
    Select(8, 2);
    Type("_");
    EXPECT_EQ(Text(), "he_rld");
    EXPECT_EQ(state_.caret, 3);
    EXPECT_EQ(state_.anchor, 3);
}

TEST_F(BufferTest, DeletionAtTheEndsIsASilentNoOp)
{
    Load("ab");
    state_.caret = state_.anchor = 2;
    DeleteForward(&state_);
    state_.caret = state_.anchor = 0;
    DeleteBackward(&state_);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(state_.undoCount, 0);
}

TEST_F(BufferTest, DeletingASelectionLeavesTheCaretAtItsStart)
{
    Load("abcdef");
    Select(5, 1);
    DeleteForward(&state_);
    EXPECT_EQ(Text(), "af");
    EXPECT_EQ(state_.caret, 1);
    EXPECT_EQ(state_.anchor, 1);
    Select(0, 1);
    DeleteBackward(&state_);
    EXPECT_EQ(Text(), "f");
    state_.caret = state_.anchor = 0;
    DeleteForward(&state_);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(state_.capacity, 32);
}

TEST_F(BufferTest, BackspaceAtTheLeftEdgeOfAScrolledViewScrollsBack)
{
    Load("0123456789abcdefghij");
    state_.firstVisible = state_.caret = state_.anchor = 5;
    DeleteBackward(&state_);
    EXPECT_EQ(Text(), "012356789abcdefghij");
    EXPECT_EQ(state_.caret, 4);
    EXPECT_EQ(state_.firstVisible, 4);
}

TEST_F(BufferTest, TypingPastTheLastCellPutsTheCaretInIt)
{
    Type("0123456789");
    EXPECT_EQ(state_.firstVisible, 1);
    EXPECT_EQ(state_.caret, 10);
    Type("ab");
    EXPECT_EQ(state_.firstVisible, 3);
}

TEST_F(BufferTest, ControlWithoutWholeCellsKeepsTheCaretInView)
{
    state_.visibleColumns = 0;
    Type("abc");
    EXPECT_EQ(state_.firstVisible, 3) << "the caret stands in the only, partial cell";
    SelectAll(&state_);
    EXPECT_LE(state_.firstVisible, state_.caret);
    state_.caret = state_.anchor = 1;
    ScrollToCaret(&state_);
    EXPECT_EQ(state_.firstVisible, 1);
}

TEST_F(BufferTest, WordMotionGoesLeftToStartsAndRightToEnds)
{
    Load("ab  cd");
    state_.caret = 6;
    WordLeft(&state_);
    EXPECT_EQ(state_.caret, 4);
    WordLeft(&state_);
    EXPECT_EQ(state_.caret, 0);
    WordLeft(&state_);
    EXPECT_EQ(state_.caret, 0);
    WordRight(&state_);
    EXPECT_EQ(state_.caret, 2);
    WordRight(&state_);
    EXPECT_EQ(state_.caret, 6);
    WordRight(&state_);
    EXPECT_EQ(state_.caret, 6);
    EXPECT_EQ(state_.anchor, 0) << "word motion moves the caret only";
}

TEST_F(BufferTest, WordMotionTreatsPunctuationAndCyrillicByClass)
{
    Load("x,\xCF\xF0\xE8\xE2\xE5\xF2 (ok)"); // "x,Привет (ok)"
    state_.caret = 0;
    WordRight(&state_);
    EXPECT_EQ(state_.caret, 1);
    WordRight(&state_);
    EXPECT_EQ(state_.caret, 8);
    WordRight(&state_);
    EXPECT_EQ(state_.caret, 12);
    WordLeft(&state_);
    EXPECT_EQ(state_.caret, 10);
    WordLeft(&state_);
    EXPECT_EQ(state_.caret, 2);
}

TEST_F(BufferTest, DoubleClickSelectsTheWordAtOrBeforeTheColumn)
{
    Load("ab cd");
    EXPECT_TRUE(SelectWordAt(&state_, 3 * 8 + 6)); // right half of 'c': column 4
    EXPECT_EQ(state_.anchor, 3);
    EXPECT_EQ(state_.caret, 5);
    EXPECT_TRUE(SelectWordAt(&state_, 2 * 8));
    EXPECT_EQ(state_.anchor, 0);
    EXPECT_EQ(state_.caret, 2);
    EXPECT_FALSE(SelectWordAt(&state_, 5 * 8));
    EXPECT_FALSE(SelectWordAt(&state_, 4 * 8 + 5)); // past the half of 'd': column 5
    EXPECT_EQ(state_.anchor, 0);
    EXPECT_EQ(state_.caret, 2);
}

TEST_F(BufferTest, DoubleClickBetweenTwoSeparatorsSelectsNothing)
{
    Load("a  b");
    EXPECT_TRUE(SelectWordAt(&state_, 2 * 8));
    EXPECT_EQ(state_.anchor, 2);
    EXPECT_EQ(state_.caret, 2);
}

TEST_F(BufferTest, ColumnFromXRoundsPastTheHalfOfACell)
{
    Load("0123456789abcdefghij");
    EXPECT_EQ(ColumnFromX(&state_, 4), 0);
    EXPECT_EQ(ColumnFromX(&state_, 5), 1);
    EXPECT_EQ(ColumnFromX(&state_, 12), 1);
    EXPECT_EQ(ColumnFromX(&state_, 13), 2);
    state_.firstVisible = 7;
    EXPECT_EQ(ColumnFromX(&state_, 13), 9);
    EXPECT_EQ(ColumnFromX(&state_, 8000), 20);
    EXPECT_EQ(ColumnFromX(&state_, -30), 7) << "left of the control is its left edge";
}

TEST_F(BufferTest, SelectAllOfNothingLeavesCaretAndAnchorAtZero)
{
    SelectAll(&state_);
    EXPECT_EQ(state_.caret, 0);
    EXPECT_EQ(state_.anchor, 0);
    Load("0123456789abc");
    SelectAll(&state_);
    EXPECT_EQ(state_.anchor, 0);
    EXPECT_EQ(state_.caret, 13);
    EXPECT_EQ(state_.firstVisible, 4);
    EXPECT_EQ(state_.undoCount, 0);
}

} // namespace

namespace {

using ReplaceSelectionTest = EditorTest;

TEST_F(ReplaceSelectionTest, TakesControlBytesAsTheyAre)
{
    Load("xy");
    state_.caret = state_.anchor = 1;
    ReplaceSelection(&state_, "a\r\nb", 4);
    EXPECT_EQ(Text(), "xa\r\nby");
    EXPECT_EQ(state_.caret, 5);
    EXPECT_EQ(state_.anchor, 5);
    EXPECT_EQ(state_.undoCount, 1);
}

TEST_F(ReplaceSelectionTest, ReplacesTheSelectionAndKeepsTheTail)
{
    std::string old;
    for (int i = 0; i < 40; ++i)
        old += static_cast<char>('a' + i % 26);
    Load(old);
    Select(30, 0);
    ReplaceSelection(&state_, std::string(30, '#').data(), 30);
    EXPECT_EQ(Text(), std::string(30, '#') + old.substr(30));
    EXPECT_EQ(state_.caret, 30);
    Undo(&state_);
    EXPECT_EQ(Text(), old);
}

TEST_F(ReplaceSelectionTest, NothingStillMakesARecord)
{
    Load("ab");
    ReplaceSelection(&state_, "", 0);
    ASSERT_EQ(state_.undoCount, 1);
    EXPECT_EQ(state_.undoTop->lengthBefore, state_.undoTop->lengthAfter);
}

} // namespace
