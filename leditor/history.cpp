#include "leditor/history.h"

#include <stdlib.h>
#include <string.h>

namespace {

// One of the two stacks, seen through the state's three fields.
struct Stack {
    LEditorUndoRecord** top;
    LEditorUndoRecord** bottom;
    int* count;
};

Stack UndoStack(LEditorState* state)
{
    return Stack{&state->undoTop, &state->undoBottom, &state->undoCount};
}

Stack RedoStack(LEditorState* state)
{
    return Stack{&state->redoTop, &state->redoBottom, &state->redoCount};
}

void Push(Stack stack, LEditorUndoRecord* record)
{
    record->older = *stack.top;
    record->newer = nullptr;
    if (*stack.top)
        (*stack.top)->newer = record;
    else
        *stack.bottom = record;
    *stack.top = record;
    ++*stack.count;
}

LEditorUndoRecord* PopTop(Stack stack)
{
    LEditorUndoRecord* record = *stack.top;
    *stack.top = record->older;
    if (*stack.top)
        (*stack.top)->newer = nullptr;
    else
        *stack.bottom = nullptr;
    --*stack.count;
    return record;
}

LEditorUndoRecord* PopBottom(Stack stack)
{
    LEditorUndoRecord* record = *stack.bottom;
    *stack.bottom = record->newer;
    if (*stack.bottom)
        (*stack.bottom)->older = nullptr;
    else
        *stack.top = nullptr;
    --*stack.count;
    return record;
}

size_t RecordBytes(const LEditorUndoRecord* record)
{
    return sizeof *record + record->capacityBefore + record->capacityAfter;
}

void FreeRecord(LEditorState* state, LEditorUndoRecord* record)
{
    state->historyBytes -= RecordBytes(record);
    free(record->textBefore);
    free(record->textAfter);
    free(record);
}

void ClearStack(LEditorState* state, Stack stack)
{
    while (*stack.count > 0)
        FreeRecord(state, PopTop(stack));
}

// A copy of the present text in an array of the present capacity; null for
// capacity 0. False when the memory cannot be had.
bool CopyPresentText(LEditorState* state, const LEditorUndoRecord* keep, char** copy)
{
    *copy = nullptr;
    if (state->capacity == 0)
        return true;
    *copy = static_cast<char*>(AllocateForEdit(state, state->capacity, keep));
    if (!*copy)
        return false;
    if (state->length > 0)
        memcpy(*copy, state->text, state->length);
    return true;
}

// Long texts make big records: beyond the budget, the oldest ones go first,
// the newest always stays.
void KeepWithinBudget(LEditorState* state)
{
    while (state->historyBytes > EDITOR_HISTORY_BYTE_BUDGET && ForgetOldestRecord(state, state->undoTop)) {
    }
}

// Puts a snapshot back as the text; the record keeps its own copy. False,
// with the text unchanged, when no memory is left for the copy.
bool RestoreSnapshot(LEditorState* state, const LEditorUndoRecord* record, const char* bytes, int length,
                     int capacity, int caret)
{
    char* restored = nullptr;
    if (capacity > 0) {
        restored = static_cast<char*>(AllocateForEdit(state, capacity, record));
        if (!restored)
            return false;
        if (length > 0)
            memcpy(restored, bytes, length);
    }
    free(state->text);
    state->text = restored;
    state->length = length;
    state->capacity = capacity;
    state->anchor = state->caret = caret;
    return true;
}

} // namespace

void* (*editorAllocate)(size_t size) = malloc;

void* AllocateForEdit(LEditorState* state, size_t size, const LEditorUndoRecord* keep)
{
    for (;;) {
        void* memory = editorAllocate(size);
        if (memory || !ForgetOldestRecord(state, keep))
            return memory;
    }
}

bool ForgetOldestRecord(LEditorState* state, const LEditorUndoRecord* keep)
{
    Stack stacks[2] = {UndoStack(state), RedoStack(state)};
    for (Stack stack : stacks) {
        if (*stack.bottom && *stack.bottom != keep) {
            FreeRecord(state, PopBottom(stack));
            return true;
        }
    }
    return false;
}

bool RecordBefore(LEditorState* state)
{
    ClearRedo(state);
    if (state->undoCount >= state->historyLimit)
        FreeRecord(state, PopBottom(UndoStack(state)));
    LEditorUndoRecord* record =
        static_cast<LEditorUndoRecord*>(AllocateForEdit(state, sizeof(LEditorUndoRecord), nullptr));
    if (!record)
        return false;
    memset(record, 0, sizeof *record);
    if (!CopyPresentText(state, nullptr, &record->textBefore)) {
        free(record);
        return false;
    }
    record->caretBefore = state->caret;
    record->lengthBefore = state->length;
    record->capacityBefore = state->capacity;
    Push(UndoStack(state), record);
    state->historyBytes += RecordBytes(record);
    KeepWithinBudget(state);
    return true;
}

void RecordAfter(LEditorState* state)
{
    LEditorUndoRecord* record = state->undoTop;
    if (!CopyPresentText(state, record, &record->textAfter)) {
        DiscardNewestRecord(state);
        return;
    }
    record->caretAfter = state->caret;
    record->lengthAfter = state->length;
    record->capacityAfter = state->capacity;
    state->historyBytes += record->capacityAfter;
    KeepWithinBudget(state);
}

void DiscardNewestRecord(LEditorState* state)
{
    FreeRecord(state, PopTop(UndoStack(state)));
}

void Undo(LEditorState* state)
{
    if (state->undoCount <= 0)
        return;
    LEditorUndoRecord* record = state->undoTop;
    if (!RestoreSnapshot(state, record, record->textBefore, record->lengthBefore, record->capacityBefore,
                         record->caretBefore))
        return;
    Push(RedoStack(state), PopTop(UndoStack(state)));
}

void Redo(LEditorState* state)
{
    if (state->redoCount <= 0)
        return;
    LEditorUndoRecord* record = state->redoTop;
    if (!RestoreSnapshot(state, record, record->textAfter, record->lengthAfter, record->capacityAfter,
                         record->caretAfter))
        return;
    Push(UndoStack(state), PopTop(RedoStack(state)));
}

void ClearUndo(LEditorState* state)
{
    ClearStack(state, UndoStack(state));
}

void ClearRedo(LEditorState* state)
{
    ClearStack(state, RedoStack(state));
}
