// The line editor's text, caret, selection and horizontal view, and the
// operations that edit them. Platform-free: it builds natively for the tests
// as well as for Windows. Nothing here draws; callers redraw afterwards.
#ifndef ZRONDEL_LEDITOR_BUFFER_H
#define ZRONDEL_LEDITOR_BUFFER_H

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

// The byte size the buffer takes for a text of length bytes: the next
// multiple of 32 strictly above it.
int CapacityFor(int length);

// Where every edit gets its memory, so that the tests can run it out.
extern void* (*editorAllocate)(size_t size);
// editorAllocate, forgetting the oldest history records (never keep) while
// it fails; null when nothing is left to forget.
void* AllocateForEdit(LEditorState* state, size_t size, const LEditorUndoRecord* keep);

// Replaces [start, end) by count bytes, keeping the capacity rule. Caret,
// anchor and history are untouched. False, with the text unchanged, when the
// new buffer cannot be had.
bool Splice(LEditorState* state, int start, int end, const char* bytes, int count);

// One recorded edit: the selection, or the empty range at the caret, becomes
// the bytes; the caret ends after them with nothing selected.
void ReplaceSelection(LEditorState* state, const char* bytes, int count);
// A typed character: replaces the selection, or goes in at the caret (over
// the character there in overwrite mode).
void InsertChar(LEditorState* state, char ch);
void DeleteForward(LEditorState* state);
void DeleteBackward(LEditorState* state);
void SelectAll(LEditorState* state);
// Double click: selects the word at or just before the client x. False when
// x lies beyond the text (nothing changed).
bool SelectWordAt(LEditorState* state, int x);
void WordLeft(LEditorState* state);
void WordRight(LEditorState* state);
// The caret position nearest to the client x, 0..length. Negative x (a drag
// past the left edge) counts as the left edge.
int ColumnFromX(const LEditorState* state, int x);

bool HasSelection(const LEditorState* state);
int SelectionStart(const LEditorState* state);
int SelectionEnd(const LEditorState* state);

// Brings firstVisible back to the caret when the caret is left of the view;
// true when it moved.
bool ScrollBackToCaret(LEditorState* state);
// Scrolls so that a caret right of the last whole cell sits in that cell.
void ScrollForwardToCaret(LEditorState* state);
// The first of the two above, or the second when the first did not apply.
void ScrollToCaret(LEditorState* state);

#endif
