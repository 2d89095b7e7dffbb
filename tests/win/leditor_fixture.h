// A line editor in a visible, topmost pop-up at a known place, with the
// helpers its tests share: the text, the real clipboard, cells on screen.
#ifndef ZRONDEL_TESTS_LEDITOR_FIXTURE_H
#define ZRONDEL_TESTS_LEDITOR_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "leditor/buffer.h"
#include "leditor/history.h"
#include "leditor/leditor.h"
#include "tests/win/support/input.h"

class EditorWindowTest : public ::testing::Test {
protected:
    static const int kParentLeft = 200, kParentTop = 200;
    static const int kEditorX = 10, kEditorY = 10;

    void SetUp() override;
    void TearDown() override;

    LEditorState* State() const
    {
        return reinterpret_cast<LEditorState*>(GetWindowLongPtrA(editor_, GWLP_USERDATA));
    }
    std::string Text() const;
    // Screen point inside the left half of a character's cell.
    POINT CellPoint(int column) const;
    void ClickColumn(int column, MouseButton button = LEFT_BUTTON);
    void Put(const char* text) { SetWindowTextA(editor_, text); }
    void Tap(WORD key, WORD modifier = 0, WORD secondModifier = 0) { TapKey(key, modifier, secondModifier); }

    void SetClipboardText(const std::string& text);
    void EmptyTheClipboard();
    std::string ClipboardText();

    HWND parent_ = nullptr;
    HWND editor_ = nullptr;
};

#endif
