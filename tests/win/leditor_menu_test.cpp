// The line editor's context menu, read while it is open: the test subclasses
// the editor (the menu's owner) and looks at the menu on WM_ENTERIDLE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "leditor/clipboard_menu.h"
#include "tests/win/leditor_fixture.h"

namespace {

struct OpenMenu {
    bool seen = false;
    RECT rect = {};                  // the menu window on the screen
    std::vector<std::wstring> texts; // as the menu shows them; L"" for separators
    std::vector<UINT> ids;
    std::vector<bool> grayed;
    std::vector<WORD> keysToChoose;  // posted while it is open; none = dismiss
};

OpenMenu openMenu;
WNDPROC editorProcedure;

void ReadMenu(HWND menuWindow)
{
    openMenu.seen = true;
    GetWindowRect(menuWindow, &openMenu.rect);
    HMENU menu = editorContextMenu;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[64] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID | MIIM_FTYPE;
        item.dwTypeData = text;
        item.cch = ARRAYSIZE(text);
        GetMenuItemInfoW(menu, position, TRUE, &item);
        openMenu.texts.push_back(item.fType & MFT_SEPARATOR ? L"" : text);
        openMenu.ids.push_back(item.wID);
        openMenu.grayed.push_back((item.fState & MFS_GRAYED) != 0);
    }
}

LRESULT CALLBACK WatchingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !openMenu.seen) {
        ReadMenu(reinterpret_cast<HWND>(lParam));
        if (openMenu.keysToChoose.empty())
            EndMenu();
        for (WORD key : openMenu.keysToChoose)
            PostMessageA(window, WM_KEYDOWN, key, 0);
    }
    return CallWindowProcA(editorProcedure, window, message, wParam, lParam);
}

class EditorMenuTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        openMenu = OpenMenu();
        editorProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(editor_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProcedure)));
    }
    // A right click at a column; the menu runs in the release's dispatch.
    void RightClickColumn(int column)
    {
        ClickColumn(column, RIGHT_BUTTON);
        PumpMessages();
        ASSERT_TRUE(openMenu.seen) << "no menu opened";
    }
    std::vector<bool> ExpectedGrayed(bool undo, bool redo, bool selection, bool paste)
    {
        return {!undo, !redo, false, !selection, !selection, !paste, !selection, false, false};
    }
};

TEST_F(EditorMenuTest, ANewControlOffersOnlySelectAllInRussian)
{
    EmptyTheClipboard();
    RightClickColumn(5);
    // Read as UTF-16, so that the check holds on every code page.
    const std::vector<std::wstring> texts = {
        L"Отмена\tCtrl+Z",
        L"Повторить\tCtrl+Shift+Z",
        L"",
        L"Вырезать\tCtrl+X",
        L"Копировать\tCtrl+C",
        L"Вставить\tCtrl+V",
        L"Удалить\tDel",
        L"",
        L"Выделить все\tCtrl+A",
    };
    EXPECT_EQ(openMenu.texts, texts);
    EXPECT_EQ(openMenu.ids, (std::vector<UINT>{100, 101, 0, 103, 102, 104, 105, 0, 106}));
    EXPECT_EQ(openMenu.grayed, ExpectedGrayed(false, false, false, false));
    EXPECT_EQ(GetFocus(), editor_);
}

TEST_F(EditorMenuTest, OpensAtTheCaretWhereverThePointerIs)
{
    Put("abcdefgh");
    Tap(VK_RIGHT);
    Tap(VK_RIGHT);
    RightClickColumn(7);
    POINT caret = {2 * State()->charWidth, 0};
    ClientToScreen(editor_, &caret);
    EXPECT_EQ(openMenu.rect.left, caret.x);
    EXPECT_EQ(openMenu.rect.top, caret.y);
    EXPECT_EQ(State()->caret, 2) << "the right click does not move the caret";
}

TEST_F(EditorMenuTest, ItemsFollowTheHistorySelectionAndClipboard)
{
    SetClipboardText("x");
    TypeText("abc");
    Tap('Z', VK_CONTROL);
    Tap(VK_LEFT, VK_SHIFT);
    RightClickColumn(1);
    EXPECT_EQ(openMenu.grayed, ExpectedGrayed(true, true, true, true));
    openMenu = OpenMenu();
    TypeText("q");
    Tap(VK_END);
    RightClickColumn(1);
    EXPECT_EQ(openMenu.grayed, ExpectedGrayed(true, false, false, true));
}

TEST_F(EditorMenuTest, TheChosenItemComesBackAsItsCommand)
{
    Put("hello");
    openMenu.keysToChoose = {VK_UP, VK_RETURN}; // from the bottom: select all
    RightClickColumn(2);
    PumpMessages();
    EXPECT_EQ(State()->anchor, 0);
    EXPECT_EQ(State()->caret, 5);
}

TEST_F(EditorMenuTest, CommandsActOnTheEditorAndUnknownOnesChangeNothing)
{
    Put("hello");
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_SELECT_ALL, 0);
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_COPY, 0);
    EXPECT_EQ(ClipboardText(), "hello");
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_DELETE, 0);
    EXPECT_EQ(Text(), "");
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_PASTE, 0);
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_PASTE, 0);
    EXPECT_EQ(Text(), "hellohello");
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_UNDO, 0);
    EXPECT_EQ(Text(), "hello");
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_REDO, 0);
    EXPECT_EQ(Text(), "hellohello");
    Tap(VK_HOME);
    Tap(VK_RIGHT, VK_SHIFT);
    SendMessageA(editor_, WM_COMMAND, EDITOR_CMD_CUT, 0);
    EXPECT_EQ(Text(), "ellohello");
    EXPECT_EQ(ClipboardText(), "h");
    SendMessageA(editor_, WM_COMMAND, 107, 0);
    EXPECT_EQ(Text(), "ellohello");
    EXPECT_EQ(State()->undoCount, 4);
}

} // namespace
