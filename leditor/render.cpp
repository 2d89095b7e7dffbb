#include "leditor/render.h"

#include "base/contrast.h"
#include "base/dpi.h"

const COLORREF kEditorTextColour = RGB(0, 0, 0);
const COLORREF kEditorBackground = RGB(255, 255, 255);
const COLORREF kEditorSelectionColour = RGB(181, 178, 222);

HFONT CreateEditorFont(int dpi)
{
    LOGFONTA font = {};
    font.lfHeight = Scale(-13, dpi); // character height, not cell height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    lstrcpyA(font.lfFaceName, "Courier New");
    return CreateFontIndirectA(&font);
}

int CaretX(const LEditorState* state)
{
    return (state->caret - state->firstVisible) * state->charWidth;
}

namespace {

// Draws the characters [from, to) that lie right of the view's left edge in
// the given colours; cells are opaque, so the background fills them.
void DrawRun(const LEditorState* state, HDC dc, int from, int to, bool selected)
{
    if (from < state->firstVisible)
        from = state->firstVisible;
    if (to <= from)
        return;
    SetTextColor(dc, ContrastColour(kEditorTextColour, selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, selected ? ContrastColour(kEditorSelectionColour, COLOR_HIGHLIGHT)
                            : ContrastColour(kEditorBackground, COLOR_WINDOW));
    TextOutA(dc, (from - state->firstVisible) * state->charWidth, 0, state->text + from, to - from);
}

int Smaller(int a, int b)
{
    return a < b ? a : b;
}

} // namespace

void RenderLine(const LEditorState* state, HDC target)
{
    RECT client;
    GetClientRect(state->window, &client);
    const int width = client.right, height = client.bottom;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT whole = {0, 0, width, height};
    FillRect(memory, &whole, ContrastBrush(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(memory, state->font);

    const int wholeCellsEnd = state->firstVisible + state->visibleColumns;
    if (!HasSelection(state)) {
        DrawRun(state, memory, state->firstVisible, Smaller(state->length, wholeCellsEnd), false);
    } else {
        // Runs past the right edge are cut by the bitmap; the partial cell
        // there is the last one worth drawing.
        const int lastCellEnd = wholeCellsEnd + 1;
        const int start = SelectionStart(state), end = SelectionEnd(state);
        DrawRun(state, memory, state->firstVisible, Smaller(start, lastCellEnd), false);
        DrawRun(state, memory, start, Smaller(end, lastCellEnd), true);
        if (end < wholeCellsEnd)
            DrawRun(state, memory, end, Smaller(state->length, lastCellEnd), false);
    }

    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

void Redraw(const LEditorState* state)
{
    HideCaret(state->window);
    HDC dc = GetDC(state->window);
    RenderLine(state, dc);
    ReleaseDC(state->window, dc);
    // The caret is the thread's, not the window's: only the focused editor
    // may move it.
    if (GetFocus() == state->window)
        SetCaretPos(CaretX(state), 0);
    ShowCaret(state->window);
}
