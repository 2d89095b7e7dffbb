// The line editor's clipboard exchange (CF_TEXT only) and its context menu,
// one menu per process shared by every editor window.
#ifndef ZRONDEL_LEDITOR_CLIPBOARD_MENU_H
#define ZRONDEL_LEDITOR_CLIPBOARD_MENU_H

#include <windows.h>

#include "leditor/buffer.h"

// Context menu commands: item identifiers and item data alike.
enum {
    EDITOR_CMD_UNDO = 100,
    EDITOR_CMD_REDO = 101,
    EDITOR_CMD_COPY = 102,
    EDITOR_CMD_CUT = 103,
    EDITOR_CMD_PASTE = 104,
    EDITOR_CMD_DELETE = 105,
    EDITOR_CMD_SELECT_ALL = 106
};

enum { CONTEXT_MENU_ENTRY_COUNT = 9 };

// One line of the menu: id 0 is a separator with an empty text.
struct ContextMenuEntry {
    char text[32]; // Windows-1251, zero-padded; a tab before the shortcut
    int command;
};
// The same lines, the same commands in the same places, in each language.
extern const ContextMenuEntry kRussianContextMenu[CONTEXT_MENU_ENTRY_COUNT];
extern const ContextMenuEntry kEnglishContextMenu[CONTEXT_MENU_ENTRY_COUNT];

// The shared menu; null until BuildContextMenu's result is stored here.
extern HMENU editorContextMenu;

// The menu in the user's language.
HMENU BuildContextMenu();
// Enables the items that apply to this editor and tracks the menu at the
// caret; the choice comes back as WM_COMMAND.
void ShowContextMenu(const LEditorState* state);
// Carries out a menu command (or Ctrl+A's) and redraws; unknown ids beep.
void OnEditorCommand(LEditorState* state, int command);

void CopySelection(const LEditorState* state);
void CutSelection(LEditorState* state);
void PasteClipboard(LEditorState* state);

#endif
