#include "tests/win/leditor_fixture.h"

#include <string.h>

#include "base/ui_language.h"

namespace {

const char kParentClass[] = "EditorTestParent";

void RegisterParentClass()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kParentClass;
    RegisterClassA(&windowClass); // fails harmlessly once it exists
}

} // namespace

void EditorWindowTest::SetUp()
{
    uiLanguage = UI_LANGUAGE_RUSSIAN; // the menu as a Russian user reads it, on any code page
    ASSERT_NE(RegisterLEditorClass(GetModuleHandleA(nullptr)), 0);
    RegisterParentClass();
    parent_ = CreateWindowExA(WS_EX_TOPMOST, kParentClass, "", WS_POPUP | WS_VISIBLE, kParentLeft, kParentTop,
                              300, 80, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    editor_ = CreateLEditor(parent_, kEditorX, kEditorY, 160, 23);
    ASSERT_NE(editor_, nullptr);
    SetForegroundWindow(parent_);
    SetFocus(editor_);
    PumpMessages();
    ASSERT_NE(State(), nullptr);
}

void EditorWindowTest::TearDown()
{
    DestroyWindow(parent_);
    PumpMessages(10);
    UnregisterLEditorClass(GetModuleHandleA(nullptr));
}

std::string EditorWindowTest::Text() const
{
    std::string text(GetWindowTextLengthA(editor_) + 1, '\0');
    text.resize(GetWindowTextA(editor_, &text[0], static_cast<int>(text.size())));
    return text;
}

POINT EditorWindowTest::CellPoint(int column) const
{
    const LEditorState* state = State();
    POINT point = {(column - state->firstVisible) * state->charWidth + 1, state->charHeight / 2};
    ClientToScreen(editor_, &point);
    return point;
}

void EditorWindowTest::ClickColumn(int column, MouseButton button)
{
    POINT point = CellPoint(column);
    ClickAt(point.x, point.y, button);
}

void EditorWindowTest::SetClipboardText(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(parent_));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

void EditorWindowTest::EmptyTheClipboard()
{
    ASSERT_TRUE(OpenClipboard(parent_));
    EmptyClipboard();
    CloseClipboard();
}

std::string EditorWindowTest::ClipboardText()
{
    std::string text = "<no text>";
    if (!OpenClipboard(parent_))
        return "<not opened>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
