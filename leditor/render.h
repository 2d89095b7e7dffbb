// Drawing of the line editor: its font, the visible part of the line with
// the selection, composed off screen, and the caret.
#ifndef ZRONDEL_LEDITOR_RENDER_H
#define ZRONDEL_LEDITOR_RENDER_H

#include <windows.h>

#include "leditor/buffer.h"

extern const COLORREF kEditorTextColour;       // black
extern const COLORREF kEditorBackground;       // white
extern const COLORREF kEditorSelectionColour;  // RGB(181, 178, 222)

// Courier New, 13 pixels high at 96 DPI, scaled for the dpi; the caller owns it.
HFONT CreateEditorFont(int dpi);
// Client x of the caret's left edge.
int CaretX(const LEditorState* state);
// The whole client area into target, through a bitmap of the client size.
void RenderLine(const LEditorState* state, HDC target);
// After every change: renders into the window and puts the caret in place.
void Redraw(const LEditorState* state);

#endif
