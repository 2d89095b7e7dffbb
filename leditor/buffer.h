// The line editor's text, caret, selection and horizontal view, and the
// operations that edit them. Platform-free: it builds natively for the tests
// as well as for Windows. Nothing here draws; callers redraw afterwards.
#ifndef ZRONDEL_LEDITOR_BUFFER_H
#define ZRONDEL_LEDITOR_BUFFER_H

#include "leditor/editor_state.h"

// The byte size the buffer takes for a text of length bytes: the next
// multiple of 32 strictly above it.
int CapacityFor(int length);

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
