// The line editor driven by real key strokes (SendInput), so that the
// modifiers it reads are really held.
#include <gtest/gtest.h>

#include "tests/win/leditor_fixture.h"

namespace {

using EditorKeyboardTest = EditorWindowTest;

TEST_F(EditorKeyboardTest, TypedTextGoesInAndEnterEscapeTabBackspaceAreNotTyped)
{
    TypeText("Hello, World");
    Tap(VK_RETURN);
    Tap(VK_ESCAPE);
    Tap(VK_TAB);
    EXPECT_EQ(Text(), "Hello, World");
    Tap(VK_BACK);
    EXPECT_EQ(Text(), "Hello, Worl") << "the backspace character is not typed";
    EXPECT_EQ(State()->caret, 11);
    EXPECT_EQ(GetFocus(), editor_) << "Tab does not move the focus";
}

TEST_F(EditorKeyboardTest, ShiftArrowsMoveOneEndAndPlainArrowsCollapse)
{
    Put("abcdef");
    Tap(VK_RIGHT);
    Tap(VK_RIGHT);
    Tap(VK_RIGHT, VK_SHIFT);
    Tap(VK_RIGHT, VK_SHIFT);
    Tap(VK_RIGHT, VK_SHIFT);
    EXPECT_EQ(State()->anchor, 2);
    EXPECT_EQ(State()->caret, 5);
    Tap(VK_LEFT);
    EXPECT_EQ(State()->anchor, 4) << "collapses at the new caret, not at the selection's start";
    EXPECT_EQ(State()->caret, 4);
    Tap(VK_LEFT, VK_SHIFT);
    Tap(VK_RIGHT);
    EXPECT_EQ(State()->anchor, 4);
    EXPECT_EQ(State()->caret, 4);
    Tap(VK_HOME);
    Tap(VK_LEFT, VK_SHIFT);
    EXPECT_EQ(State()->caret, 0);
    EXPECT_EQ(State()->anchor, 0);
}

TEST_F(EditorKeyboardTest, CtrlArrowsMoveByWords)
{
    Put("ab  cd");
    Tap(VK_END);
    Tap(VK_LEFT, VK_CONTROL);
    EXPECT_EQ(State()->caret, 4);
    Tap(VK_LEFT, VK_CONTROL);
    EXPECT_EQ(State()->caret, 0);
    Tap(VK_RIGHT, VK_CONTROL);
    EXPECT_EQ(State()->caret, 2);
    Tap(VK_RIGHT, VK_CONTROL, VK_SHIFT);
    EXPECT_EQ(State()->anchor, 2);
    EXPECT_EQ(State()->caret, 6);
}

TEST_F(EditorKeyboardTest, HomeAndEndScrollAndShiftKeepsTheAnchor)
{
    Put("0123456789012345678901234567890123456789");
    const int columns = State()->visibleColumns;
    ASSERT_GT(columns, 5);
    ASSERT_LT(columns, 40);
    Tap(VK_END);
    EXPECT_EQ(State()->caret, 40);
    EXPECT_EQ(State()->anchor, 40);
    EXPECT_EQ(State()->firstVisible, 40 - columns + 1);
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, (columns - 1) * State()->charWidth) << "in the last whole cell";
    EXPECT_EQ(caret.y, 0);
    Tap(VK_HOME, VK_SHIFT);
    EXPECT_EQ(State()->caret, 0);
    EXPECT_EQ(State()->anchor, 40);
    EXPECT_EQ(State()->firstVisible, 0);
    Tap(VK_END, VK_SHIFT);
    EXPECT_EQ(State()->anchor, 40);
    Tap(VK_HOME);
    EXPECT_EQ(State()->anchor, 0);
}

TEST_F(EditorKeyboardTest, InsertTogglesOverwrite)
{
    Put("abc");
    Tap(VK_INSERT);
    TypeText("XY");
    EXPECT_EQ(Text(), "XYc");
    Tap(VK_INSERT);
    TypeText("Z");
    EXPECT_EQ(Text(), "XYZc");
}

TEST_F(EditorKeyboardTest, CtrlZUndoesAndCtrlShiftZRedoes)
{
    TypeText("abc");
    Tap('Z', VK_CONTROL);
    EXPECT_EQ(Text(), "ab") << "the character of Ctrl+Z is never inserted";
    Tap('Z', VK_CONTROL);
    EXPECT_EQ(Text(), "a");
    Tap('Z', VK_CONTROL, VK_SHIFT);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(State()->caret, 2);
    TypeText("z");
    EXPECT_EQ(Text(), "abz");
    EXPECT_EQ(State()->redoCount, 0);
}

TEST_F(EditorKeyboardTest, CopyCutAndPasteKeysUseTheRealClipboard)
{
    Put("one two");
    Tap('A', VK_CONTROL);
    EXPECT_EQ(State()->anchor, 0);
    EXPECT_EQ(State()->caret, 7);
    Tap('C', VK_CONTROL);
    EXPECT_EQ(ClipboardText(), "one two");

    Tap(VK_HOME);
    for (int i = 0; i < 3; ++i)
        Tap(VK_RIGHT, VK_SHIFT);
    Tap('X', VK_CONTROL);
    EXPECT_EQ(Text(), " two");
    EXPECT_EQ(ClipboardText(), "one");

    Tap(VK_END);
    Tap('V', VK_CONTROL);
    EXPECT_EQ(Text(), " twoone");
    Tap(VK_INSERT, VK_SHIFT);
    EXPECT_EQ(Text(), " twooneone");
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 10 * State()->charWidth) << "the caret follows the paste at once";

    Tap(VK_HOME);
    for (int i = 0; i < 3; ++i)
        Tap(VK_RIGHT, VK_SHIFT);
    Tap(VK_DELETE, VK_SHIFT);
    EXPECT_EQ(Text(), "ooneone");
    EXPECT_EQ(ClipboardText(), " tw");

    Tap(VK_RIGHT, VK_SHIFT);
    Tap(VK_RIGHT, VK_SHIFT);
    Tap(VK_INSERT, VK_CONTROL);
    EXPECT_EQ(ClipboardText(), "oo");
    EXPECT_EQ(Text(), "ooneone");
    Tap(VK_DELETE);
    EXPECT_EQ(Text(), "neone");
}

TEST_F(EditorKeyboardTest, ChordsSentWholeDoWhatTheyName)
{
    struct Step {
        WORD key, secondModifier;
        const char* text;      // the editor's text after the chord
        const char* clipboard; // the clipboard's text after it
    };
    const Step steps[] = {
        {'A', 0, "one two", ""},           {'C', 0, "one two", "one two"}, {'X', 0, "", "one two"},
        {'V', 0, "one two", "one two"},    {'V', 0, "one twoone two", "one two"},
        {'Z', 0, "one two", "one two"},    {'Z', VK_SHIFT, "one twoone two", "one two"},
    };
    SetClipboardText("");
    Put("one two");
    for (const Step& step : steps) {
        SendChord(step.key, VK_CONTROL, step.secondModifier);
        EXPECT_EQ(Text(), step.text) << "after Ctrl+" << static_cast<char>(step.key);
        EXPECT_EQ(ClipboardText(), step.clipboard) << "after Ctrl+" << static_cast<char>(step.key);
    }
}

TEST_F(EditorKeyboardTest, CopyAndCutWithoutSelectionLeaveTheClipboardAlone)
{
    SetClipboardText("keep");
    Put("abc");
    Tap('C', VK_CONTROL);
    Tap('X', VK_CONTROL);
    EXPECT_EQ(ClipboardText(), "keep");
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(State()->undoCount, 0);
}

TEST_F(EditorKeyboardTest, PasteTakesControlBytesAsTheyAre)
{
    SetClipboardText("a\r\nb");
    Tap('V', VK_CONTROL);
    EXPECT_EQ(Text(), "a\r\nb");
    EXPECT_EQ(State()->caret, 4);
    EXPECT_EQ(State()->anchor, 4);
}

} // namespace
