// The line editor's state record, which the buffer's edits and the history
// both work on. Platform-free.
#ifndef ZRONDEL_LEDITOR_EDITOR_STATE_H
#define ZRONDEL_LEDITOR_EDITOR_STATE_H

#include <stddef.h>

#ifdef _WIN32
#include <windows.h>
typedef HWND EditorWindow;
typedef HFONT EditorFont;
#else
typedef void* EditorWindow;
typedef void* EditorFont;
#endif

struct LEditorUndoRecord;

enum { EDITOR_HISTORY_LIMIT = 256 };

// One per editor window, zero-filled at creation. The text is never
// zero-terminated: length alone bounds it. Selection = [min(anchor, caret),
// max(anchor, caret)), empty exactly when anchor == caret.
struct LEditorState {
    char* text;                     // owned, capacity bytes; null while capacity is 0
    int length;                     // text bytes; length < capacity whenever text is set
    int capacity;                   // 32 * (length / 32 + 1) after every edit; 0 without text
    int caret;                      // 0..length, gap before character caret; moving end of the selection
    int firstVisible;               // character in the leftmost cell; <= caret after every view test
    int visibleColumns;             // whole cells in the client width, set on every resize; 0 before
    int anchor;                     // 0..length, fixed end of the selection
    EditorWindow window;            // the control's own window
    EditorFont font;                // owned, deleted at destruction
    int charHeight;                 // pixels, tmHeight of the font; the caret's height
    int charWidth;                  // pixels per cell, tmAveCharWidth of the font; at least 1
    unsigned char overwrite;        // 1 = typed characters replace the one at the caret
    LEditorUndoRecord* undoTop;     // newest undo record, null when none
    LEditorUndoRecord* undoBottom;  // oldest undo record, null when none
    int undoCount;                  // records on the undo stack, 0..historyLimit
    LEditorUndoRecord* redoTop;     // newest redo record, null when none
    LEditorUndoRecord* redoBottom;  // oldest redo record, null when none
    int redoCount;                  // records on the redo stack; undoCount + redoCount <= historyLimit
    int historyLimit;               // records per stack, EDITOR_HISTORY_LIMIT
    size_t historyBytes;            // heap bytes both stacks hold (records and snapshots)
};

#endif
