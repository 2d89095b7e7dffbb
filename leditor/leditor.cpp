#include "leditor/leditor.h"

#include <stdlib.h>
#include <string.h>
#include <windowsx.h>

#include "base/accessible.h"
#include "base/dpi.h"
#include "leditor/buffer.h"
#include "leditor/clipboard_menu.h"
#include "leditor/history.h"
#include "leditor/render.h"

namespace {

const char kEditorClassName[] = "LEditor";

ATOM editorClassAtom;        // 0 until registration succeeded
HINSTANCE editorInstance;    // the instance the class was registered with
bool dragging;               // a left press in any editor until its release or a double click

LEditorState* StateOf(HWND window)
{
    return reinterpret_cast<LEditorState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// As the key was when the message being handled was sent: a chord that
// arrives at once (a fast typist, a remote desktop, a macro) is already
// released by the time its keys are read, so the present state would lie.
bool KeyHeld(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

LRESULT OnCreate(HWND window)
{
    LEditorState* state = static_cast<LEditorState*>(calloc(1, sizeof(LEditorState)));
    if (!state)
        return -1;
    state->window = window;
    state->historyLimit = EDITOR_HISTORY_LIMIT;
    state->font = CreateEditorFont(WindowDpi(window));
    HDC dc = GetDC(window);
    HGDIOBJ oldFont = SelectObject(dc, state->font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
    state->charHeight = metrics.tmHeight;
    // Columns are divided by it: never 0, even without the font.
    state->charWidth = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 1;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return 0;
}

void OnDestroy(LEditorState* state)
{
    SetWindowLongPtrA(state->window, GWLP_USERDATA, 0);
    free(state->text);
    if (state->font)
        DeleteObject(state->font);
    ClearRedo(state);
    ClearUndo(state);
    free(state);
}

void OnSize(LEditorState* state, int width)
{
    state->visibleColumns = width / state->charWidth;
}

void OnSetFocus(LEditorState* state)
{
    DestroyCaret();
    CreateCaret(state->window, nullptr, Scale(2, WindowDpi(state->window)), state->charHeight);
    SetCaretPos(CaretX(state), 0);
    ShowCaret(state->window);
}

LRESULT OnSetText(LEditorState* state, const char* text)
{
    const int length = text ? lstrlenA(text) : 0;
    char* copy = nullptr;
    if (length > 0) {
        copy = static_cast<char*>(AllocateForEdit(state, CapacityFor(length), nullptr));
        if (!copy)
            return FALSE; // the old text stays
        memcpy(copy, text, length);
    }
    ClearUndo(state);
    ClearRedo(state);
    free(state->text);
    state->text = copy;
    state->length = length;
    state->capacity = length > 0 ? CapacityFor(length) : 0;
    state->caret = state->anchor = state->firstVisible = 0;
    Redraw(state);
    return TRUE;
}

LRESULT OnGetText(const LEditorState* state, WPARAM size, char* buffer)
{
    if (size == 0)
        return 0;
    const int copied = static_cast<WPARAM>(state->length) < size ? state->length : static_cast<int>(size - 1);
    if (copied > 0)
        memcpy(buffer, state->text, copied);
    buffer[copied] = 0;
    return copied;
}

void OnPaint(const LEditorState* state)
{
    HideCaret(state->window);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state->window, &paint);
    RenderLine(state, dc);
    EndPaint(state->window, &paint);
    ShowCaret(state->window);
}

void OnContextMenu(const LEditorState* state)
{
    SetFocus(state->window);
    ShowContextMenu(state);
}

// Left and Right: one character, or a word with Ctrl. With Shift the
// selection follows the caret; without it the selection collapses at the
// new caret. False when nothing changed and no redraw is due.
bool MoveLeft(LEditorState* state, bool shift, bool ctrl)
{
    if (shift && state->caret == 0)
        return false;
    if (state->caret > 0) {
        if (ctrl)
            WordLeft(state);
        else
            --state->caret;
    }
    if (!shift)
        state->anchor = state->caret;
    ScrollBackToCaret(state);
    return true;
}

bool MoveRight(LEditorState* state, bool shift, bool ctrl)
{
    if (shift && state->caret == state->length)
        return false;
    if (state->caret < state->length) {
        if (ctrl)
            WordRight(state);
        else
            ++state->caret;
    }
    if (!shift)
        state->anchor = state->caret;
    ScrollForwardToCaret(state);
    return true;
}

void OnKeyDown(LEditorState* state, WPARAM key)
{
    if (KeyHeld(VK_MENU))
        return;
    const bool shift = KeyHeld(VK_SHIFT), ctrl = KeyHeld(VK_CONTROL);
    switch (key) {
    case VK_BACK:
        DeleteBackward(state);
        break;
    case VK_END:
        state->caret = state->length;
        if (!shift)
            state->anchor = state->length;
        ScrollForwardToCaret(state);
        break;
    case VK_HOME:
        state->caret = 0;
        if (!shift)
            state->anchor = 0;
        state->firstVisible = 0;
        break;
    case VK_LEFT:
        if (!MoveLeft(state, shift, ctrl))
            return;
        break;
    case VK_RIGHT:
        if (!MoveRight(state, shift, ctrl))
            return;
        break;
    case VK_INSERT:
        if (ctrl) {
            CopySelection(state);
            return;
        }
        if (!shift) {
            state->overwrite ^= 1;
            return;
        }
        PasteClipboard(state);
        break;
    case VK_DELETE:
        if (shift)
            CutSelection(state);
        else
            DeleteForward(state);
        break;
    case 'A':
        if (ctrl) {
            // The same road as the menu's select-all, which redraws.
            SendMessageA(state->window, WM_COMMAND, EDITOR_CMD_SELECT_ALL, 0);
            return;
        }
        break;
    case 'C':
        if (ctrl)
            CopySelection(state);
        break;
    case 'V':
        if (ctrl)
            PasteClipboard(state);
        break;
    case 'X':
        if (ctrl)
            CutSelection(state);
        break;
    case 'Z':
        if (ctrl)
            OnEditorCommand(state, shift ? EDITOR_CMD_REDO : EDITOR_CMD_UNDO);
        break;
    default:
        return;
    }
    Redraw(state);
}

void OnChar(LEditorState* state, char ch)
{
    // Ctrl alone or Alt alone makes a command, not a letter. Both together
    // are what AltGr sends, and its letters ('@', '{', '€' ...) are typed.
    if (KeyHeld(VK_MENU) != KeyHeld(VK_CONTROL))
        return;
    // No control character ever goes into a hint: Enter, Tab and Escape are
    // swallowed, and so is whatever a chord leaves behind.
    if (static_cast<unsigned char>(ch) < ' ')
        return;
    InsertChar(state, ch);
    Redraw(state);
}

void OnLButtonDown(LEditorState* state, int x)
{
    SetCapture(state->window);
    SetFocus(state->window);
    state->caret = ColumnFromX(state, x);
    dragging = true;
    if (!KeyHeld(VK_SHIFT))
        state->anchor = state->caret;
    Redraw(state);
}

void OnMouseMove(LEditorState* state, int x)
{
    if (!dragging)
        return;
    // Holding the pointer in the first two cells, or left of the control,
    // scrolls back one character per move.
    if (x < 2 * state->charWidth && state->firstVisible > 0)
        --state->firstVisible;
    state->caret = ColumnFromX(state, x);
    ScrollToCaret(state);
    Redraw(state);
}

void OnLButtonUp(LEditorState* state, int x)
{
    ReleaseCapture();
    if (!dragging)
        return;
    state->caret = ColumnFromX(state, x);
    dragging = false;
    Redraw(state);
}

void OnLButtonDblClk(LEditorState* state, int x)
{
    dragging = false;
    if (SelectWordAt(state, x))
        Redraw(state);
}

BSTR TextOf(HWND window)
{
    const LEditorState* state = StateOf(window);
    return state ? AccessibleText(state->text, state->length) : nullptr;
}

const AccessibleTraits kEditorAccess = {ACCESSIBLE_EDITABLE_TEXT, true, TextOf, nullptr, nullptr};

LRESULT CALLBACK LEditorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return OnCreate(window);
    LEditorState* state = StateOf(window);
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    // Captured positions left of the control are negative: read them signed.
    const int x = GET_X_LPARAM(lParam);
    switch (message) {
    case WM_DESTROY:
        OnDestroy(state);
        return 0;
    case WM_SIZE:
        OnSize(state, LOWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(state);
        return 0;
    case WM_KILLFOCUS:
        DestroyCaret();
        return 0;
    case WM_SETTEXT:
        return OnSetText(state, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT:
        return OnGetText(state, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        return state->length;
    case WM_PAINT:
        OnPaint(state);
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(state);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(state, wParam);
        return 0;
    case WM_CHAR:
        OnChar(state, static_cast<char>(wParam & 0xFF));
        return 0;
    case WM_COMMAND:
        OnEditorCommand(state, LOWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(state, x);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(state, x);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(state, x);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(state, x);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_GETOBJECT:
        return AnswerAccessibleObject(window, wParam, lParam, &kEditorAccess);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterLEditorClass(HINSTANCE instance)
{
    if (!editorClassAtom) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = LEditorWndProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kEditorClassName;
        editorClassAtom = RegisterClassA(&windowClass);
        editorInstance = instance;
    }
    if (!editorContextMenu)
        editorContextMenu = BuildContextMenu();
    return editorClassAtom;
}

void UnregisterLEditorClass(HINSTANCE instance)
{
    UnregisterClassA(kEditorClassName, instance);
    editorClassAtom = 0;
}

HWND CreateLEditor(HWND parent, int x, int y, int width, int height)
{
    return CreateWindowExA(0, kEditorClassName, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | WS_TABSTOP, x, y, width,
                           height, parent, nullptr, editorInstance, nullptr);
}
