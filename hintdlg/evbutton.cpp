#include "hintdlg/evbutton.h"

#include <stdlib.h>
#include <windowsx.h>

#include "base/accessible.h"
#include "base/contrast.h"
#include "base/dpi.h"
#include "base/fixed_text.h"
#include "hintdlg/evbutton_layout.h"
#include "res/resource.h"

namespace {

const char kClassName[] = "EVButton";
const COLORREF kNormalBlue = RGB(0, 136, 204);
const COLORREF kLightBlue = RGB(85, 170, 255);
const COLORREF kCaptionColour = RGB(255, 255, 255);
const int kOutlineWidth = 2;

ATOM classAtom; // "EVButton"; 0 while not registered
// The record CreateEVButton has handed to CreateWindowExA and WM_CREATE has
// not taken yet; a creation that fails before WM_CREATE leaves it here for
// its creator to free.
EVButtonState* recordInTransit;

// Every change shows at once, without waiting for WM_PAINT, so the idle
// look is on the screen before the parent hears of a click.
void RepaintNow(const EVButtonState* button)
{
    HDC dc = GetDC(button->window);
    DrawEVButton(button, dc);
    ReleaseDC(button->window, dc);
}

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create)
{
    EVButtonState* button = static_cast<EVButtonState*>(create->lpCreateParams);
    if (!button)
        return -1;
    if (button == recordInTransit)
        recordInTransit = nullptr;
    button->window = window;
    button->dpi = WindowDpi(window);
    button->normalBrush = CreateSolidBrush(kNormalBlue);
    button->hoverBrush = CreateSolidBrush(kLightBlue);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button));
    SetWindowLongPtrA(window, GWLP_ID, button->commandId);
    // The name other programs and assistive tools read is the caption as
    // drawn, not the creator's bytes taken in the system's code page.
    DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(button->caption));
    return 0;
}

void OnDestroy(EVButtonState* button)
{
    SetWindowLongPtrA(button->window, GWLP_USERDATA, 0);
    free(button->caption);
    DeleteObject(button->normalBrush);
    DeleteObject(button->hoverBrush);
    free(button);
}

void OnPaint(const EVButtonState* button)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(button->window, &paint);
    DrawEVButton(button, dc);
    EndPaint(button->window, &paint);
}

void OnMouseMove(EVButtonState* button, int x, int y)
{
    RECT client;
    GetClientRect(button->window, &client);
    POINT point = {x, y};
    if (PtInRect(&client, point)) {
        // Holding the capture while hovered is how the button hears the
        // move that leaves it.
        if (!button->pressed)
            SetCapture(button->window);
        if (!button->hovered) {
            button->hovered = true;
            RepaintNow(button);
        }
    } else {
        if (button->hovered) {
            button->hovered = false;
            RepaintNow(button);
        }
        // A held button keeps the capture so that it hears the release.
        if (!button->pressed)
            ReleaseCapture();
    }
}

void OnLButtonDown(EVButtonState* button)
{
    SetCapture(button->window);
    button->pressed = true;
    RepaintNow(button);
}

void OnLButtonUp(EVButtonState* button)
{
    if (!(button->pressed && button->hovered)) {
        ReleaseCapture();
        return;
    }
    HWND parent = GetParent(button->window);
    WPARAM commandId = static_cast<WPARAM>(button->commandId);
    // Releasing first repaints the idle look before the parent acts, which
    // may hide or destroy the button: nothing of it is touched afterwards.
    ReleaseCapture();
    SendMessageA(parent, WM_COMMAND, commandId, 0);
}

void OnCaptureChanged(EVButtonState* button, HWND newCapture)
{
    // Taking the capture again while holding it is no loss.
    if (newCapture == button->window)
        return;
    button->hovered = false;
    button->pressed = false;
    RepaintNow(button);
}

// Tools read the caption as drawn, in UTF-16, on any code page.
BSTR CaptionOf(HWND window)
{
    const EVButtonState* button = reinterpret_cast<const EVButtonState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return button ? AccessibleText(button->caption) : nullptr;
}

// Posted, as a click's command would be sent: the tool's call returns
// before the dialog acts on it.
void PressButton(HWND window)
{
    const EVButtonState* button = reinterpret_cast<const EVButtonState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (button)
        PostMessageA(GetParent(window), WM_COMMAND, static_cast<WPARAM>(button->commandId), 0);
}

const AccessibleTraits kButtonAccess = {ACCESSIBLE_PUSH_BUTTON, false, CaptionOf, nullptr, PressButton};

} // namespace

ATOM RegisterEVButtonClass(HINSTANCE instance)
{
    if (classAtom)
        return classAtom;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = EVButtonWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_RING));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_HAND);
    // The class owns its brush from here: the system deletes it when the
    // class is unregistered.
    windowClass.hbrBackground = CreateSolidBrush(kNormalBlue);
    windowClass.lpszClassName = kClassName;
    classAtom = RegisterClassA(&windowClass);
    if (!classAtom)
        DeleteObject(windowClass.hbrBackground);
    return classAtom;
}

bool UnregisterEVButtonClass(HINSTANCE instance)
{
    if (!classAtom)
        return true;
    // Refused while a button of the class still exists.
    if (!UnregisterClassA(kClassName, instance))
        return false;
    classAtom = 0;
    return true;
}

HWND CreateEVButton(HWND parent, int commandId, const char* caption, HICON icon, HFONT font,
                    int x, int y, int width, int height)
{
    EVButtonState* button = static_cast<EVButtonState*>(calloc(1, sizeof(EVButtonState)));
    if (!button)
        return nullptr;
    const char* text = caption ? caption : "";
    const int size = lstrlenA(text) + 1; // one UTF-16 unit per byte, and the NUL
    button->caption = static_cast<wchar_t*>(malloc(size * sizeof(wchar_t)));
    if (!button->caption) {
        free(button);
        return nullptr;
    }
    WidenFixedText(text, button->caption, size);
    button->width = width;
    button->height = height;
    button->commandId = commandId;
    button->font = font;
    button->icon = icon;
    // The control identifier is set in WM_CREATE, from the record.
    recordInTransit = button;
    HWND window = CreateWindowExA(0, kClassName, text,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP,
                                  x, y, width, height, parent, nullptr, GetModuleHandleA(nullptr), button);
    // Once WM_CREATE has taken the record, WM_DESTROY frees it, even when
    // the creation fails after that.
    if (recordInTransit) {
        recordInTransit = nullptr;
        free(button->caption);
        free(button);
    }
    return window;
}

LRESULT CALLBACK EVButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    EVButtonState* button = reinterpret_cast<EVButtonState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!button)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        OnDestroy(button);
        return 0;
    case WM_PAINT:
        OnPaint(button);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(button);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(button);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(button, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_GETOBJECT:
        return AnswerAccessibleObject(window, wParam, lParam, &kButtonAccess);
    default:
        // Erasing with the class brush, the window text, every key and the
        // right button: all left to the system.
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void DrawEVButton(const EVButtonState* button, HDC dc)
{
    RECT client;
    GetClientRect(button->window, &client);
    EVButtonLayout layout =
        LayoutEVButton(button->width, button->height, client.right, button->hovered, button->pressed, button->dpi);

    // The corners outside the rounded face show whatever the parent paints
    // its own background with.
    HWND parent = GetParent(button->window);
    FillRect(dc, &client,
             ContrastBrush(reinterpret_cast<HBRUSH>(GetClassLongPtrA(parent, GCLP_HBRBACKGROUND)), COLOR_WINDOW));

    const bool hovered = button->hovered;
    HPEN outline = CreatePen(PS_SOLID, Scale(kOutlineWidth, button->dpi),
                             ContrastColour(hovered ? kNormalBlue : kLightBlue, COLOR_BTNTEXT));
    HGDIOBJ oldBrush = SelectObject(
        dc, ContrastBrush(hovered ? button->hoverBrush : button->normalBrush, hovered ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    HGDIOBJ oldPen = SelectObject(dc, outline);
    RoundRect(dc, layout.faceLeft, layout.faceTop, layout.faceRight, layout.faceBottom,
              layout.cornerSize, layout.cornerSize);
    DrawIconEx(dc, layout.iconX, layout.iconY, button->icon, layout.iconSide, layout.iconSide, 0,
               nullptr, DI_NORMAL);

    RECT captionBox = {layout.captionLeft, client.top, layout.captionRight, client.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ContrastColour(kCaptionColour, hovered ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    HGDIOBJ oldFont = SelectObject(dc, button->font);
    DrawTextW(dc, button->caption, -1, &captionBox, DT_SINGLELINE | DT_VCENTER | DT_CENTER);

    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(outline);
}
