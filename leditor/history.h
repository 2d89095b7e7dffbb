// Undo and redo of the line editor: every edit is one record holding whole
// snapshots of the text before and after it. Two linked stacks in the
// editor's state, at most historyLimit records between them. Platform-free.
#ifndef ZRONDEL_LEDITOR_HISTORY_H
#define ZRONDEL_LEDITOR_HISTORY_H

#include <stddef.h>

#include "leditor/editor_state.h"

// Snapshot arrays are null when their capacity is 0 (an empty control).
struct LEditorUndoRecord {
    char* textBefore;          // owned, capacityBefore bytes, lengthBefore of them text
    char* textAfter;           // owned, capacityAfter bytes; null until RecordAfter
    int caretBefore;           // caret before the edit
    int caretAfter;            // caret after the edit
    int lengthBefore;          // length before the edit
    int lengthAfter;           // length after the edit
    int capacityBefore;        // capacity before the edit
    int capacityAfter;         // capacity after the edit
    LEditorUndoRecord* older;  // towards the bottom of its stack, null at the bottom
    LEditorUndoRecord* newer;  // towards the top of its stack, null at the top
};

// Most bytes the history keeps while it holds more than the newest record:
// with long texts the oldest records go before the 256 limit is reached.
enum { EDITOR_HISTORY_BYTE_BUDGET = 32 * 1024 * 1024 };

// Where every edit gets its memory, so that the tests can run it out.
extern void* (*editorAllocate)(size_t size);
// editorAllocate, forgetting the oldest history records (never keep) while
// it fails; null when nothing is left to forget.
void* AllocateForEdit(LEditorState* state, size_t size, const LEditorUndoRecord* keep);

// Called before an edit changes the text: drops the redo stack and pushes
// the present state. False when no memory is left for it; the caller then
// refuses the edit.
bool RecordBefore(LEditorState* state);
// The edit's last step: the present state becomes the top record's after
// snapshot. Without memory for it the record is dropped (the edit stays).
void RecordAfter(LEditorState* state);
// Drops the top undo record; for an edit that RecordBefore announced but
// that could not be made.
void DiscardNewestRecord(LEditorState* state);
// Undo and redo put back the text, caret and selection of a snapshot; the
// view is the caller's to bring to the caret.
void Undo(LEditorState* state);
void Redo(LEditorState* state);
void ClearUndo(LEditorState* state);
void ClearRedo(LEditorState* state);
// Frees the oldest record (undo stack first, then redo) unless it is keep;
// false when there is nothing to free.
bool ForgetOldestRecord(LEditorState* state, const LEditorUndoRecord* keep);

#endif
