// The line editor under the real mouse: clicks, Shift+click, dragging with
// the capture (past the left edge too) and double clicks.
#include <gtest/gtest.h>

#include "tests/win/leditor_fixture.h"

namespace {

using EditorMouseTest = EditorWindowTest;

TEST_F(EditorMouseTest, ClickPlacesTheCaretAndShiftClickExtends)
{
    Put("abcdefgh");
    ClickColumn(2);
    EXPECT_EQ(State()->caret, 2);
    EXPECT_EQ(State()->anchor, 2);
    // Under Wine a pointer move brings the modifiers in line with the X
    // server's, which knows nothing of the sent Shift: move first.
    POINT point = CellPoint(6);
    MovePointerTo(point.x, point.y);
    PumpMessages(100);
    PressKey(VK_SHIFT);
    PressButton(LEFT_BUTTON);
    ReleaseButton(LEFT_BUTTON);
    ReleaseKey(VK_SHIFT);
    EXPECT_EQ(State()->anchor, 2) << "Shift+click keeps the old anchor";
    EXPECT_EQ(State()->caret, 6);
    ClickColumn(15);
    EXPECT_EQ(State()->caret, 8) << "right of the text is its end";
    EXPECT_EQ(State()->anchor, 8);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditorMouseTest, DragSelectsFromThePressToThePointer)
{
    Put("abcdefgh");
    POINT from = CellPoint(1), to = CellPoint(5);
    MovePointerTo(from.x, from.y);
    PressButton(LEFT_BUTTON);
    EXPECT_EQ(GetCapture(), editor_);
    MovePointerTo(from.x + 9, from.y);
    MovePointerTo(to.x, to.y);
    EXPECT_EQ(State()->caret, 5) << "the selection follows the pointer";
    ReleaseButton(LEFT_BUTTON);
    EXPECT_EQ(State()->anchor, 1);
    EXPECT_EQ(State()->caret, 5);
    EXPECT_EQ(GetCapture(), nullptr);
    MovePointerTo(from.x, from.y);
    EXPECT_EQ(State()->caret, 5) << "moving without the button changes nothing";
}

TEST_F(EditorMouseTest, DragPastTheLeftEdgeSelectsTowardsTheStart)
{
    Put("0123456789012345678901234567890123456789");
    Tap(VK_END);
    const int firstVisible = State()->firstVisible;
    ASSERT_GT(firstVisible, 10);
    POINT from = CellPoint(firstVisible + 4);
    MovePointerTo(from.x, from.y);
    PressButton(LEFT_BUTTON);
    RECT editor;
    GetWindowRect(editor_, &editor);
    for (int move = 0; move < 6; ++move) {
        MovePointerTo(editor.left - 20 - move % 2, from.y);
        EXPECT_EQ(State()->firstVisible, firstVisible - 1 - move) << "one character per move";
        EXPECT_EQ(State()->caret, State()->firstVisible) << "not the end of the text";
    }
    ReleaseButton(LEFT_BUTTON);
    EXPECT_EQ(State()->anchor, firstVisible + 4);
    EXPECT_EQ(State()->caret, firstVisible - 6);
}

TEST_F(EditorMouseTest, DoubleClickSelectsTheWordAtThePointer)
{
    Put("ab cd");
    POINT inSecondWord = CellPoint(3);
    ClickAt(inSecondWord.x + 5, inSecondWord.y);
    ClickAt(inSecondWord.x + 5, inSecondWord.y);
    EXPECT_EQ(State()->anchor, 3);
    EXPECT_EQ(State()->caret, 5);
    EXPECT_EQ(GetCapture(), nullptr);

    POINT blank = CellPoint(2);
    ClickAt(blank.x - 1, blank.y);
    ClickAt(blank.x - 1, blank.y);
    EXPECT_EQ(State()->anchor, 0) << "a separator after a word selects that word";
    EXPECT_EQ(State()->caret, 2);

    POINT beyond = CellPoint(8);
    ClickAt(beyond.x, beyond.y);
    EXPECT_EQ(State()->caret, 5);
    ClickAt(beyond.x, beyond.y);
    EXPECT_EQ(State()->caret, 5) << "a double click beyond the text changes nothing";
    EXPECT_EQ(State()->anchor, 5);
}

} // namespace
