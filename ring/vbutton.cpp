#include "ring/vbutton.h"

#include <stdlib.h>

#include "base/accessible.h"
#include "base/contrast.h"
#include "base/slots.h"
#include "res/resource.h"
#include "ring/sector_region.h"

namespace {

const char kClassName[] = "VButton";
const COLORREF kNormalColor = RGB(0, 136, 204);
const COLORREF kHoverColor = RGB(85, 170, 255);
const int kIconSize = 20;
const int kPressedIconSize = 26;

ATOM classAtom = 0;
HINSTANCE classInstance = nullptr;
HBRUSH classBrush = nullptr; // the class background, the normal blue
const AccessibleTraits* buttonAccess = nullptr; // told to assistive tools; null: the system's default


// Buttons repaint on every state change at once rather than invalidating.
void RepaintNow(const VButtonState* state)
{
    HDC dc = GetDC(state->window);
    DrawVButton(state, dc);
    ReleaseDC(state->window, dc);
}

void SendHover(const VButtonState* state, SlotHoverInfo* hover)
{
    SendMessageA(GetParent(state->window), UM_SLOTHOVER, 0, reinterpret_cast<LPARAM>(hover));
}

// The parent hears that the sector shows as under the pointer, with the
// icon's place for the tooltip.
void ShowHover(const VButtonState* state, SlotHoverInfo* hover)
{
    POINT anchor = VButtonIconAnchor(state);
    hover->show = true;
    hover->x = anchor.x;
    hover->y = anchor.y;
    SendHover(state, hover);
}

LRESULT OnCreate(HWND window, const CREATESTRUCTA* creation)
{
    VButtonState* state = static_cast<VButtonState*>(creation->lpCreateParams);
    if (!state)
        return -1;
    state->window = window;
    HRGN region = BuildSectorRegion(&state->sector, state->dpi);
    state->normalBrush = CreateSolidBrush(kNormalColor);
    state->hoverBrush = CreateSolidBrush(kHoverColor);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    SetWindowLongPtrA(window, GWLP_ID, state->slot);
    SetWindowRgn(window, region, TRUE); // the window owns the region from here on
    return 0;
}

void OnDestroy(VButtonState* state)
{
    SetWindowLongPtrA(state->window, GWLP_USERDATA, 0);
    if (state->icon)
        DestroyIcon(state->icon);
    DeleteObject(state->normalBrush);
    DeleteObject(state->hoverBrush);
    free(state);
}

void OnPaint(const VButtonState* state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state->window, &paint);
    DrawVButton(state, dc);
    EndPaint(state->window, &paint);
}

void OnMouseMove(VButtonState* state, LPARAM position, SlotHoverInfo* hover)
{
    // Unsigned: a position left of or above the window, which arrives only
    // while the button holds the capture, becomes large and tests outside.
    int x = LOWORD(position), y = HIWORD(position);
    hover->slot = state->slot;
    if (SectorHitTest(&state->sector, x, y)) {
        // Holding the capture lets the button hear the move that leaves it.
        if (state->pressState == 0)
            SetCapture(state->window);
        if (state->hovered)
            return;
        state->hovered = true;
        RepaintNow(state);
        ShowHover(state, hover);
    } else {
        if (state->hovered) {
            state->hovered = false;
            RepaintNow(state);
            SendHover(state, hover);
        }
        if (state->pressState == 0)
            ReleaseCapture();
    }
}

void OnButtonDown(VButtonState* state, BYTE pressState)
{
    // No hit test: the region lets presses arrive only on the sector.
    SetCapture(state->window);
    state->pressState = pressState;
    RepaintNow(state);
}

// The capture release resets the button and hides the tooltip from inside
// ReleaseCapture, so the parent hears "hover off" before the click.
void OnLeftButtonUp(VButtonState* state)
{
    if (state->pressState != 0 && state->hovered) {
        HWND parent = GetParent(state->window);
        ReleaseCapture();
        SendMessageA(parent, UM_SLOTCLICK, state->slot, reinterpret_cast<LPARAM>(parent));
    } else {
        ReleaseCapture();
    }
}

void OnRightButtonUp(VButtonState* state)
{
    if (state->hovered && state->pressState == 2) {
        HWND window = state->window;
        HWND parent = GetParent(window);
        ReleaseCapture();
        // The slot menu runs inside this send, and a close message that
        // arrives meanwhile (a logoff) destroys the button and frees its record.
        if (SendMessageA(parent, UM_SLOTMENU, state->slot, reinterpret_cast<LPARAM>(state)) &&
            VButtonStateOf(window) == state)
            RepaintNow(state);
    } else {
        ReleaseCapture();
    }
}

void OnCaptureChanged(VButtonState* state, HWND gainer, SlotHoverInfo* hover)
{
    if (gainer == state->window)
        return;
    state->hovered = false;
    state->pressState = 0;
    RepaintNow(state);
    hover->slot = state->slot;
    SendHover(state, hover);
}

} // namespace

ATOM RegisterVButtonClass(HINSTANCE instance)
{
    if (classAtom)
        return classAtom;
    classBrush = CreateSolidBrush(kNormalColor);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = VButtonWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_RING));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_HAND);
    windowClass.hbrBackground = classBrush;
    windowClass.lpszClassName = kClassName;
    classAtom = RegisterClassA(&windowClass);
    if (!classAtom) {
        DeleteObject(classBrush);
        classBrush = nullptr;
        return 0;
    }
    classInstance = instance;
    return classAtom;
}

void UnregisterVButtonClass()
{
    // The system deletes the background brush of a class it unregisters.
    if (!UnregisterClassA(kClassName, classInstance))
        DeleteObject(classBrush);
    classBrush = nullptr;
    classAtom = 0;
}

HWND CreateVButton(HWND parent, int slot, HICON icon, int centreX, int centreY,
                   double startAngle, double angularWidth, int innerRadius, int outerRadius, int dpi)
{
    VButtonState* state = static_cast<VButtonState*>(calloc(1, sizeof(VButtonState)));
    if (!state)
        return nullptr;
    state->given = {centreX, centreY, startAngle, startAngle + angularWidth,
                    innerRadius, outerRadius, 0, 0};
    state->dpi = dpi;
    state->slot = slot;
    state->icon = icon;
    SectorBox box;
    state->sector = LayOutSector(&state->given, dpi, &box);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES, kClassName, nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  box.left, box.top, box.width, box.height, parent, nullptr,
                                  classInstance, state);
    // A window that never took the record cannot free it; the icon stays
    // with the slot that still holds it.
    if (!window)
        free(state);
    return window;
}

VButtonState* VButtonStateOf(HWND button)
{
    return reinterpret_cast<VButtonState*>(GetWindowLongPtrA(button, GWLP_USERDATA));
}

void RescaleVButton(HWND button, int dpi)
{
    VButtonState* state = VButtonStateOf(button);
    if (!state)
        return;
    state->dpi = dpi;
    SectorBox box;
    state->sector = LayOutSector(&state->given, dpi, &box);
    SetWindowPos(button, nullptr, box.left, box.top, box.width, box.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    SetWindowRgn(button, BuildSectorRegion(&state->sector, dpi), FALSE); // the window owns it
}

void SetVButtonAccess(const AccessibleTraits* access)
{
    buttonAccess = access;
}

// Lights the button by the mark, or no more, as the pointer does.
static void SetVButtonLit(HWND button, bool VButtonState::*mark, bool lit)
{
    VButtonState* state = VButtonStateOf(button);
    if (!state || state->*mark == lit)
        return;
    state->*mark = lit;
    RepaintNow(state);
    SlotHoverInfo hover = {};
    hover.slot = state->slot;
    if (lit)
        ShowHover(state, &hover);
    else
        SendHover(state, &hover);
}

void SetVButtonChosen(HWND button, bool chosen)
{
    SetVButtonLit(button, &VButtonState::chosen, chosen);
}

void SetVButtonHovered(HWND button, bool hovered)
{
    SetVButtonLit(button, &VButtonState::hovered, hovered);
}

POINT VButtonIconAnchor(const VButtonState* state)
{
    POINT anchor = {state->sector.iconX, state->sector.iconY};
    ClientToScreen(state->window, &anchor);
    return anchor;
}

LRESULT CALLBACK VButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    VButtonState* state = VButtonStateOf(window);
    if (message == WM_CREATE)
        return OnCreate(window, reinterpret_cast<CREATESTRUCTA*>(lParam));
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);

    SlotHoverInfo hover = {};
    switch (message) {
    case WM_DESTROY:
        OnDestroy(state);
        return 0;
    case WM_PAINT:
        OnPaint(state);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(state, lParam, &hover);
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(state, 1);
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(state);
        return 0;
    case WM_RBUTTONDOWN:
        OnButtonDown(state, 2);
        return 0;
    case WM_RBUTTONUP:
        OnRightButtonUp(state);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(state, reinterpret_cast<HWND>(lParam), &hover);
        return 0;
    case WM_DROPFILES:
        // The parent learns the slot and may replace the icon through the record.
        return SendMessageA(GetParent(window), WM_DROPFILES, wParam, reinterpret_cast<LPARAM>(state));
    case WM_GETOBJECT:
        if (buttonAccess)
            return AnswerAccessibleObject(window, wParam, lParam, buttonAccess);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DrawVButton(const VButtonState* state, HDC dc)
{
    RECT client;
    GetClientRect(state->window, &client);
    // The window region limits the fill to the sector.
    const bool lit = state->hovered || state->chosen;
    FillRect(dc, &client,
             ContrastBrush(lit ? state->hoverBrush : state->normalBrush, lit ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    int size = Scale((state->hovered && state->pressState != 0) ? kPressedIconSize : kIconSize, state->dpi);
    if (state->icon)
        DrawIconEx(dc, state->sector.iconX, state->sector.iconY, state->icon, size, size, 0,
                   nullptr, DI_NORMAL);
}
