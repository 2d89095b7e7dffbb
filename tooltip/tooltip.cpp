#include "tooltip/tooltip.h"

#include <stdlib.h>

#include "base/contrast.h"
#include "base/slots.h"

const char kToolTipClassName[] = "ZR_ToolTip_Class";

static ATOM toolTipAtom;          // 0 until the class is registered
static HINSTANCE toolTipInstance; // the instance the class was registered with

bool SupportsDropShadow()
{
    // The plain 148-byte record: every version of GetVersionExA accepts it.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return false;
    return DropShadowForVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

ATOM RegisterToolTipClass(HINSTANCE instance)
{
    if (toolTipAtom)
        return toolTipAtom;
    WNDCLASSA windowClass = {};
    windowClass.style = SupportsDropShadow() ? CS_DROPSHADOW : 0;
    windowClass.lpfnWndProc = ToolTipWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kToolTipClassName;
    toolTipAtom = RegisterClassA(&windowClass);
    toolTipInstance = instance;
    return toolTipAtom;
}

void UnregisterToolTipClass(HINSTANCE instance)
{
    UnregisterClassA(kToolTipClassName, instance);
    toolTipAtom = 0;
}

HWND CreateToolTip(HWND owner, HFONT font, COLORREF backColor, COLORREF textColor, int dpi)
{
    ToolTipState initial = {};
    initial.font = font;
    initial.dpi = dpi;
    initial.textColor = textColor;
    initial.backColor = backColor;
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kToolTipClassName, nullptr,
                           WS_POPUP | WS_DISABLED, 0, 0, 100, 20, owner, nullptr, toolTipInstance, &initial);
}

void FitToolTip(ToolTipState* state)
{
    HDC dc = GetDC(state->window);
    if (!dc)
        return;
    HGDIOBJ oldFont = SelectObject(dc, state->font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    const char* text = state->text ? state->text : "";
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    SelectObject(dc, oldFont);
    ReleaseDC(state->window, dc);

    ToolTipSize size =
        FitToolTipMetrics(metrics.tmAveCharWidth, extent.cx, extent.cy, state->icon != nullptr, state->dpi);
    // The owner reads the new size as soon as the message returns, to place
    // the tooltip: resize now, not through a later message.
    SetWindowPos(state->window, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    InvalidateRect(state->window, nullptr, TRUE);
}

void DrawToolTip(const ToolTipState* state, HDC dc)
{
    RECT client;
    GetClientRect(state->window, &client);
    const COLORREF text = ContrastColour(state->textColor, COLOR_WINDOWTEXT);
    HBRUSH fill = CreateSolidBrush(ContrastColour(state->backColor, COLOR_WINDOW));
    // The frame is one pixel at 96 DPI, drawn inside the window at any scale.
    const int frameWidth = Scale(1, state->dpi);
    HPEN frame = CreatePen(PS_INSIDEFRAME, frameWidth, text);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, frame);
    HGDIOBJ oldFont = SelectObject(dc, state->font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, text);

    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    if (state->icon)
        DrawIconEx(dc, frameWidth, frameWidth, state->icon, iconRoom, iconRoom, 0, nullptr, DI_NORMAL);
    if (state->text)
        TextOutA(dc, marginX + iconRoom, Scale(marginY, state->dpi) / 2, state->text, lstrlenA(state->text));

    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(frame);
    DeleteObject(fill);
}

static ToolTipState* StateOf(HWND window)
{
    return reinterpret_cast<ToolTipState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void SetToolTipScale(HWND tip, HFONT font, int dpi)
{
    ToolTipState* state = StateOf(tip);
    if (!state)
        return;
    state->font = font;
    state->dpi = dpi;
    FitToolTip(state);
}

static LRESULT OnCreate(HWND window, const CREATESTRUCTA* creation)
{
    const ToolTipState* initial = static_cast<const ToolTipState*>(creation->lpCreateParams);
    if (!initial)
        return -1;
    ToolTipState* state = static_cast<ToolTipState*>(malloc(sizeof(ToolTipState)));
    if (!state)
        return -1;
    *state = *initial;
    state->window = window;
    state->text = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return 0;
}

static void OnDestroy(ToolTipState* state)
{
    SetWindowLongPtrA(state->window, GWLP_USERDATA, 0);
    free(state->text);
    free(state);
}

// Keeps its own copy: the caller may free its buffer as soon as this returns.
// Answers TRUE as WM_SETTEXT should, FALSE only when the copy could not be made.
static LRESULT OnSetText(ToolTipState* state, const char* text)
{
    bool hasText = text && text[0];
    // The owner sets the same hint again on every show and hide: the same
    // text fits the same, and a resize costs under Wine about as much as
    // showing the window.
    if (hasText ? state->text && lstrcmpA(state->text, text) == 0 : !state->text)
        return TRUE;
    ReplaceText(&state->text, hasText ? text : nullptr);
    FitToolTip(state);
    return !hasText || state->text;
}

static HICON OnSetIcon(ToolTipState* state, HICON icon)
{
    HICON previous = state->icon;
    if (icon == previous) // fitted for it already
        return previous;
    state->icon = icon;
    FitToolTip(state); // also invalidates, visible or not
    return previous;
}

static void OnPaint(const ToolTipState* state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state->window, &paint);
    if (dc)
        DrawToolTip(state, dc);
    EndPaint(state->window, &paint);
}

// The text is never handed out, but a caller's buffer is left terminated.
static LRESULT OnGetText(WPARAM capacity, char* buffer)
{
    if (capacity > 0 && buffer)
        buffer[0] = '\0';
    return 0;
}

LRESULT CALLBACK ToolTipWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    ToolTipState* state = StateOf(window);
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    if (OnColourMessage(window, message, wParam))
        return 1;
    switch (message) {
    case WM_DESTROY:
        OnDestroy(state);
        return 0;
    case WM_SETTEXT:
        // Never passed on: the window's own caption stays empty.
        return OnSetText(state, reinterpret_cast<const char*>(lParam));
    case WM_SETICON:
        return reinterpret_cast<LRESULT>(OnSetIcon(state, reinterpret_cast<HICON>(lParam)));
    case WM_PAINT:
        OnPaint(state);
        return 0;
    case WM_GETTEXT:
        return OnGetText(wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        return 0;
    case WM_NCHITTEST:
        return HTNOWHERE; // clicks go nowhere
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
