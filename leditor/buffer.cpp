#include "leditor/buffer.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "leditor/editor_shim.h"
#include "leditor/history.h"

int CapacityFor(int length)
{
    return 32 * (length / 32 + 1);
}

bool Splice(LEditorState* state, int start, int end, const char* bytes, int count)
{
    const int kept = state->length - (end - start);
    if (count > INT_MAX - 32 - kept)
        return false;
    const int newLength = kept + count;
    const int newCapacity = CapacityFor(newLength);
    const int tail = state->length - end;
    if (newCapacity != state->capacity) {
        // The record of the edit in progress is the newest; it must survive.
        char* grown = static_cast<char*>(AllocateForEdit(state, newCapacity, state->undoTop));
        if (!grown)
            return false;
        if (start > 0)
            memcpy(grown, state->text, start);
        if (tail > 0)
            memcpy(grown + start + count, state->text + end, tail);
        free(state->text);
        state->text = grown;
        state->capacity = newCapacity;
    } else if (tail > 0) {
        memmove(state->text + start + count, state->text + end, tail);
    }
    if (count > 0)
        memcpy(state->text + start, bytes, count);
    state->length = newLength;
    return true;
}

bool HasSelection(const LEditorState* state)
{
    return state->anchor != state->caret;
}

int SelectionStart(const LEditorState* state)
{
    return state->anchor < state->caret ? state->anchor : state->caret;
}

int SelectionEnd(const LEditorState* state)
{
    return state->anchor > state->caret ? state->anchor : state->caret;
}

bool ScrollBackToCaret(LEditorState* state)
{
    if (state->caret >= state->firstVisible)
        return false;
    state->firstVisible = state->caret;
    return true;
}

void ScrollForwardToCaret(LEditorState* state)
{
    // A control narrower than one cell still shows the caret's cell.
    const int columns = state->visibleColumns > 0 ? state->visibleColumns : 1;
    if (state->caret >= state->firstVisible + columns)
        state->firstVisible = state->caret - columns + 1;
}

void ScrollToCaret(LEditorState* state)
{
    if (!ScrollBackToCaret(state))
        ScrollForwardToCaret(state);
}

namespace {

// Splices for an edit whose record RecordBefore has just pushed; a refused
// splice takes that record back.
bool SpliceRecorded(LEditorState* state, int start, int end, const char* bytes, int count)
{
    if (Splice(state, start, end, bytes, count))
        return true;
    DiscardNewestRecord(state);
    return false;
}

// Removes [start, end) as one recorded edit and leaves the caret at start.
void DeleteRange(LEditorState* state, int start, int end)
{
    if (!RecordBefore(state))
        return;
    if (!SpliceRecorded(state, start, end, nullptr, 0))
        return;
    state->anchor = state->caret = start;
    ScrollToCaret(state);
    RecordAfter(state);
}

// The column under x before it is limited to the text.
int UnclampedColumn(const LEditorState* state, int x)
{
    if (x < 0)
        x = 0;
    const int width = state->charWidth;
    return x / width + (x % width > width / 2 ? 1 : 0) + state->firstVisible;
}

} // namespace

void ReplaceSelection(LEditorState* state, const char* bytes, int count)
{
    const int start = SelectionStart(state);
    if (!RecordBefore(state))
        return;
    if (!SpliceRecorded(state, start, SelectionEnd(state), bytes, count))
        return;
    state->anchor = state->caret = start + count;
    ScrollToCaret(state);
    RecordAfter(state);
}

void InsertChar(LEditorState* state, char ch)
{
    if (HasSelection(state) || !state->overwrite || state->caret >= state->length) {
        ReplaceSelection(state, &ch, 1);
        return;
    }
    if (!RecordBefore(state))
        return;
    state->text[state->caret] = ch;
    state->anchor = state->caret += 1;
    ScrollToCaret(state);
    RecordAfter(state);
}

void DeleteForward(LEditorState* state)
{
    if (HasSelection(state))
        DeleteRange(state, SelectionStart(state), SelectionEnd(state));
    else if (state->caret < state->length)
        DeleteRange(state, state->caret, state->caret + 1);
}

void DeleteBackward(LEditorState* state)
{
    if (HasSelection(state))
        DeleteRange(state, SelectionStart(state), SelectionEnd(state));
    else if (state->caret >= 1)
        DeleteRange(state, state->caret - 1, state->caret);
}

void SelectAll(LEditorState* state)
{
    state->caret = state->length;
    state->anchor = 0;
    ScrollForwardToCaret(state);
}

bool SelectWordAt(LEditorState* state, int x)
{
    const int column = UnclampedColumn(state, x);
    if (column >= state->length)
        return false;
    int anchor = column;
    while (anchor > 0 && IsWordCharacter(state->text[anchor - 1]))
        --anchor;
    int caret = column;
    while (caret < state->length && IsWordCharacter(state->text[caret]))
        ++caret;
    state->anchor = anchor;
    state->caret = caret;
    ScrollForwardToCaret(state);
    return true;
}

void WordLeft(LEditorState* state)
{
    if (state->caret == 0)
        return;
    do
        --state->caret;
    while (state->caret > 0 &&
           !(IsWordCharacter(state->text[state->caret]) && !IsWordCharacter(state->text[state->caret - 1])));
}

void WordRight(LEditorState* state)
{
    if (state->caret == state->length)
        return;
    do
        ++state->caret;
    while (state->caret < state->length &&
           !(IsWordCharacter(state->text[state->caret - 1]) && !IsWordCharacter(state->text[state->caret])));
}

int ColumnFromX(const LEditorState* state, int x)
{
    const int column = UnclampedColumn(state, x);
    return column > state->length ? state->length : column;
}
