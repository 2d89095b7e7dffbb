// The line editor's text messages, its pixels and caret, controls without
// whole cells, a huge paste, and what it leaves behind.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "leditor/render.h"
#include "tests/win/leditor_fixture.h"
#include "tests/win/support/gui_objects.h"

namespace {

using EditorTextTest = EditorWindowTest;

TEST_F(EditorTextTest, SetTextPutsTheCaretAtTheStartAndClearsTheHistory)
{
    TypeText("ab");
    Tap('Z', VK_CONTROL);
    ASSERT_EQ(State()->undoCount, 1);
    ASSERT_EQ(State()->redoCount, 1);
    EXPECT_TRUE(SetWindowTextA(editor_, "hello"));
    EXPECT_EQ(Text(), "hello");
    EXPECT_EQ(State()->caret, 0);
    EXPECT_EQ(State()->anchor, 0);
    EXPECT_EQ(State()->undoCount + State()->redoCount, 0);
    EXPECT_EQ(State()->capacity, 32);
    for (const char* empty : {"", static_cast<const char*>(nullptr)}) {
        TypeText("x");
        SetWindowTextA(editor_, empty);
        EXPECT_EQ(GetWindowTextLengthA(editor_), 0);
        EXPECT_EQ(State()->capacity, 0);
        EXPECT_EQ(State()->undoCount, 0);
    }
}

TEST_F(EditorTextTest, GetTextFillsTheBufferAndNeverWritesPastIt)
{
    Put("0123456789");
    EXPECT_EQ(GetWindowTextLengthA(editor_), 10);
    char whole[11];
    EXPECT_EQ(GetWindowTextA(editor_, whole, sizeof whole), 10);
    EXPECT_STREQ(whole, "0123456789");
    char shortBuffer[8];
    memset(shortBuffer, 0x7F, sizeof shortBuffer);
    EXPECT_EQ(GetWindowTextA(editor_, shortBuffer, 4), 3);
    EXPECT_STREQ(shortBuffer, "012");
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(shortBuffer[i], 0x7F) << "byte " << i;
    EXPECT_EQ(SendMessageA(editor_, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(shortBuffer)), 0);
    EXPECT_EQ(shortBuffer[0], '0');
}

using EditorDrawingTest = EditorWindowTest;

// How many pixels of a cell, top to bottom, have the colour.
int CountInCell(HWND window, int cell, int charWidth, int charHeight, COLORREF colour)
{
    HDC dc = GetDC(window);
    int count = 0;
    for (int y = 0; y < charHeight; ++y)
        for (int x = cell * charWidth; x < (cell + 1) * charWidth; ++x)
            count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

TEST_F(EditorDrawingTest, SelectionIsDrawnInItsColourFromTheViewsLeftEdge)
{
    Put("abcdefghijklmnopqrstuvwxyz");
    SetFocus(parent_); // no caret among the pixels
    LEditorState* state = State();
    state->anchor = 1;
    state->caret = 6;
    state->firstVisible = 3;
    InvalidateRect(editor_, nullptr, FALSE);
    UpdateWindow(editor_);
    const int width = state->charWidth, height = state->charHeight;
    for (int cell = 0; cell < 3; ++cell) {
        EXPECT_GT(CountInCell(editor_, cell, width, height, kEditorSelectionColour), width * height / 3)
            << "selected cell " << cell;
        EXPECT_GT(CountInCell(editor_, cell, width, height, RGB(0, 0, 0)), 0) << "its character";
    }
    EXPECT_EQ(CountInCell(editor_, 3, width, height, kEditorSelectionColour), 0);
    EXPECT_GT(CountInCell(editor_, 3, width, height, RGB(0, 0, 0)), 0) << "character 6 unselected";
}

TEST_F(EditorDrawingTest, CellsRightOfTheTextStayWhite)
{
    Put("abcde");
    SetFocus(parent_);
    const LEditorState* state = State();
    for (int cell = 5; cell < state->visibleColumns; ++cell)
        EXPECT_EQ(CountInCell(editor_, cell, state->charWidth, state->charHeight, RGB(255, 255, 255)),
                  state->charWidth * state->charHeight)
            << "cell " << cell;
    EXPECT_GT(CountInCell(editor_, 4, state->charWidth, state->charHeight, RGB(0, 0, 0)), 0);
}

TEST_F(EditorDrawingTest, CaretIsTwoPixelsAtTheCaretsCell)
{
    TypeText("abc");
    POINT caret;
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 3 * State()->charWidth);
    EXPECT_EQ(caret.y, 0);
    Tap(VK_LEFT);
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 2 * State()->charWidth);
    SetFocus(parent_);
    EXPECT_FALSE(GetCaretPos(&caret) && caret.x != 0) << "no caret without the focus";
}

TEST_F(EditorDrawingTest, RedrawingAnUnfocusedEditorLeavesTheCaretAlone)
{
    HWND other = CreateLEditor(parent_, 10, 40, 160, 23);
    TypeText("abcd");
    SetWindowTextA(other, "moved?");
    SendMessageA(other, WM_COMMAND, 106, 0);
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 4 * State()->charWidth);
}

using EditorBadInputTest = EditorWindowTest;

TEST_F(EditorBadInputTest, AControlNarrowerThanOneCellKeepsTheCaretInRange)
{
    for (int width : {0, 5}) {
        HWND narrow = CreateLEditor(parent_, 10, 40, width, 23);
        ASSERT_NE(narrow, nullptr);
        SetFocus(narrow);
        const LEditorState* state = reinterpret_cast<LEditorState*>(GetWindowLongPtrA(narrow, GWLP_USERDATA));
        EXPECT_EQ(state->visibleColumns, 0);
        for (char ch : std::string("abcdef"))
            SendMessageA(narrow, WM_CHAR, ch, 0);
        EXPECT_EQ(state->firstVisible, state->caret);
        for (WPARAM key : {VK_LEFT, VK_HOME, VK_END, VK_RIGHT})
            SendMessageA(narrow, WM_KEYDOWN, key, 0);
        SendMessageA(narrow, WM_COMMAND, 106, 0);
        SendMessageA(narrow, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 5));
        SendMessageA(narrow, WM_MOUSEMOVE, 0, MAKELPARAM(-40, 5));
        SendMessageA(narrow, WM_MOUSEMOVE, 0, MAKELPARAM(300, 5));
        SendMessageA(narrow, WM_LBUTTONUP, 0, MAKELPARAM(-40, 5));
        SendMessageA(narrow, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 5));
        EXPECT_GE(state->caret, 0);
        EXPECT_LE(state->caret, state->length);
        EXPECT_LE(state->firstVisible, state->length);
        POINT caret;
        GetCaretPos(&caret);
        EXPECT_EQ(caret.x, (state->caret - state->firstVisible) * state->charWidth);
        char text[16];
        GetWindowTextA(narrow, text, sizeof text);
        EXPECT_STREQ(text, "abcdef");
        DestroyWindow(narrow);
    }
}

TEST_F(EditorBadInputTest, AHugePasteThenTypingKeepsTheTextAndBoundsTheHistory)
{
    const size_t pastedSize = 32u << 20;
    std::string pasted(pastedSize, ' ');
    for (size_t i = 0; i < pastedSize; ++i)
        pasted[i] = static_cast<char>('a' + i % 26);
    SetClipboardText(pasted);
    Put("<>");
    Tap(VK_RIGHT);
    SendMessageA(editor_, WM_COMMAND, 104, 0);
    ASSERT_EQ(GetWindowTextLengthA(editor_), static_cast<int>(pastedSize) + 2);
    for (int i = 0; i < 300; ++i)
        SendMessageA(editor_, WM_CHAR, '0' + i % 10, 0);

    std::string typed;
    for (int i = 0; i < 300; ++i)
        typed += static_cast<char>('0' + i % 10);
    EXPECT_TRUE(Text() == "<" + pasted + typed + ">") << "the text is what was pasted and typed";
    const LEditorState* state = State();
    const size_t oneRecord = sizeof(LEditorUndoRecord) + 2 * static_cast<size_t>(state->capacity);
    EXPECT_LE(state->historyBytes, static_cast<size_t>(EDITOR_HISTORY_BYTE_BUDGET) + oneRecord);
    EXPECT_GE(state->undoCount, 1);
    Tap('Z', VK_CONTROL);
    EXPECT_EQ(GetWindowTextLengthA(editor_), static_cast<int>(pastedSize) + 2 + 299);
}

TEST(EditorLifetimeTest, RegistrationKeepsItsAtomAndCanBeUndone)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const ATOM atom = RegisterLEditorClass(instance);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterLEditorClass(instance), atom);
    UnregisterLEditorClass(instance);
    WNDCLASSA windowClass;
    EXPECT_FALSE(GetClassInfoA(instance, "LEditor", &windowClass));
    ASSERT_NE(RegisterLEditorClass(instance), 0);
    ASSERT_TRUE(GetClassInfoA(instance, "LEditor", &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_DBLCLKS));
    UnregisterLEditorClass(instance);
}

// Creates an editor, works it (font, renders, caret, history) and destroys it.
void UseAnEditor(HWND parent)
{
    HWND editor = CreateLEditor(parent, 10, 40, 160, 23);
    EXPECT_EQ(GetWindowLongA(editor, GWL_STYLE), 0x54810000);
    SetFocus(editor);
    SetWindowTextA(editor, "some text");
    SendMessageA(editor, WM_COMMAND, 106, 0);
    SendMessageA(editor, WM_CHAR, 'x', 0);
    SendMessageA(editor, WM_KEYDOWN, VK_LEFT, 0);
    InvalidateRect(editor, nullptr, TRUE);
    UpdateWindow(editor);
    DestroyWindow(editor);
    PumpMessages(10);
}

TEST_F(EditorWindowTest, EditorsLeaveNoWindowOrGdiObjectBehind)
{
    UseAnEditor(parent_); // the system's own lazy objects come into being
    const unsigned gdiBefore = CountGdiObjects(), windowsBefore = CountThreadWindows();
    for (int round = 0; round < 5; ++round)
        UseAnEditor(parent_);
    EXPECT_LE(CountGdiObjects(), gdiBefore);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
}

} // namespace
