#include "leditor/clipboard_menu.h"

#include <limits.h>
#include <stddef.h>
#include <string.h>

#include "base/fixed_text.h"
#include "base/ui_language.h"
#include "leditor/history.h"
#include "leditor/render.h"

const ContextMenuEntry kRussianContextMenu[CONTEXT_MENU_ENTRY_COUNT] = {
    {"\xCE\xF2\xEC\xE5\xED\xE0\tCtrl+Z", EDITOR_CMD_UNDO},                           // Отмена
    {"\xCF\xEE\xE2\xF2\xEE\xF0\xE8\xF2\xFC\tCtrl+Shift+Z", EDITOR_CMD_REDO},         // Повторить
    {"", 0},
    {"\xC2\xFB\xF0\xE5\xE7\xE0\xF2\xFC\tCtrl+X", EDITOR_CMD_CUT},                    // Вырезать
    {"\xCA\xEE\xEF\xE8\xF0\xEE\xE2\xE0\xF2\xFC\tCtrl+C", EDITOR_CMD_COPY},           // Копировать
    {"\xC2\xF1\xF2\xE0\xE2\xE8\xF2\xFC\tCtrl+V", EDITOR_CMD_PASTE},                  // Вставить
    {"\xD3\xE4\xE0\xEB\xE8\xF2\xFC\tDel", EDITOR_CMD_DELETE},                        // Удалить
    {"", 0},
    {"\xC2\xFB\xE4\xE5\xEB\xE8\xF2\xFC \xE2\xF1\xE5\tCtrl+A", EDITOR_CMD_SELECT_ALL}, // Выделить все
};

const ContextMenuEntry kEnglishContextMenu[CONTEXT_MENU_ENTRY_COUNT] = {
    {"Undo\tCtrl+Z", EDITOR_CMD_UNDO},
    {"Redo\tCtrl+Shift+Z", EDITOR_CMD_REDO},
    {"", 0},
    {"Cut\tCtrl+X", EDITOR_CMD_CUT},
    {"Copy\tCtrl+C", EDITOR_CMD_COPY},
    {"Paste\tCtrl+V", EDITOR_CMD_PASTE},
    {"Delete\tDel", EDITOR_CMD_DELETE},
    {"", 0},
    {"Select All\tCtrl+A", EDITOR_CMD_SELECT_ALL},
};

HMENU editorContextMenu;

HMENU BuildContextMenu()
{
    const ContextMenuEntry* entries = UiSpeaksRussian() ? kRussianContextMenu : kEnglishContextMenu;
    HMENU menu = CreatePopupMenu();
    for (int position = 0; position < CONTEXT_MENU_ENTRY_COUNT; ++position) {
        const ContextMenuEntry& entry = entries[position];
        MENUITEMINFOW item = {};
        // The record as it was before item bitmaps: the menu has none.
        item.cbSize = offsetof(MENUITEMINFOW, hbmpItem);
        wchar_t text[sizeof entry.text]; // the entry's text as the menu shows it
        if (entry.command) {
            item.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
            item.fType = MFT_STRING;
            item.wID = entry.command;
            item.dwItemData = entry.command;
            item.dwTypeData = text;
            item.cch = WidenFixedText(entry.text, text, sizeof entry.text);
        } else {
            item.fMask = MIIM_TYPE;
            item.fType = MFT_SEPARATOR;
        }
        InsertMenuItemW(menu, position, TRUE, &item);
    }
    return menu;
}

namespace {

void EnableCommand(int command, bool enabled)
{
    MENUITEMINFOA item = {};
    item.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    item.fMask = MIIM_STATE;
    item.fState = enabled ? 0 : MFS_GRAYED;
    SetMenuItemInfoA(editorContextMenu, command, FALSE, &item);
}

} // namespace

void ShowContextMenu(const LEditorState* state)
{
    // At the caret, wherever the pointer is: the menu acts at the caret.
    POINT at = {CaretX(state), 0};
    ClientToScreen(state->window, &at);
    const bool selection = HasSelection(state);
    EnableCommand(EDITOR_CMD_UNDO, state->undoCount > 0);
    EnableCommand(EDITOR_CMD_REDO, state->redoCount > 0);
    EnableCommand(EDITOR_CMD_COPY, selection);
    EnableCommand(EDITOR_CMD_CUT, selection);
    EnableCommand(EDITOR_CMD_DELETE, selection);
    EnableCommand(EDITOR_CMD_PASTE, IsClipboardFormatAvailable(CF_TEXT) != 0);
    TrackPopupMenuEx(editorContextMenu, 0, at.x, at.y, state->window, nullptr);
}

void OnEditorCommand(LEditorState* state, int command)
{
    switch (command) {
    case EDITOR_CMD_UNDO:
        Undo(state);
        ScrollToCaret(state);
        break;
    case EDITOR_CMD_REDO:
        Redo(state);
        ScrollToCaret(state);
        break;
    case EDITOR_CMD_COPY:
        CopySelection(state);
        break;
    case EDITOR_CMD_CUT:
        CutSelection(state);
        break;
    case EDITOR_CMD_PASTE:
        PasteClipboard(state);
        break;
    case EDITOR_CMD_DELETE:
        DeleteForward(state);
        break;
    case EDITOR_CMD_SELECT_ALL:
        SelectAll(state);
        break;
    default:
        MessageBeep(1);
        return;
    }
    Redraw(state);
}

void CopySelection(const LEditorState* state)
{
    if (!HasSelection(state) || !OpenClipboard(state->window))
        return;
    EmptyClipboard();
    const int start = SelectionStart(state);
    const int count = SelectionEnd(state) - start;
    HGLOBAL block = GlobalAlloc(GMEM_DDESHARE, count + 1);
    if (block) {
        char* bytes = static_cast<char*>(GlobalLock(block));
        memcpy(bytes, state->text + start, count);
        bytes[count] = 0;
        GlobalUnlock(block);
        // Once accepted, the block is the clipboard's.
        if (!SetClipboardData(CF_TEXT, block))
            GlobalFree(block);
    }
    CloseClipboard();
}

void CutSelection(LEditorState* state)
{
    if (!HasSelection(state))
        return;
    CopySelection(state);
    DeleteForward(state);
}

void PasteClipboard(LEditorState* state)
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(state->window))
        return;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (bytes) {
        // Another program's block need not hold a zero: never read past it.
        SIZE_T size = GlobalSize(data);
        const void* zero = memchr(bytes, 0, size);
        SIZE_T count = zero ? static_cast<const char*>(zero) - bytes : size;
        if (count <= INT_MAX)
            ReplaceSelection(state, bytes, static_cast<int>(count));
        GlobalUnlock(data);
    }
    CloseClipboard();
}
