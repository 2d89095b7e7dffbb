#include "hintdlg/editdlg.h"

#include <stdlib.h>

#include "base/contrast.h"
#include "base/dpi.h"
#include "base/onscreen.h"
#include "base/ui_language.h"
#include "hintdlg/evbutton.h"
#include "leditor/leditor.h"
#include "res/resource.h"

const char kEditDlgClassName[] = "EditDlg_Class";

EditDlgState editDlg;

namespace {

const COLORREF kSkyBlue = 0x00FFCC66;
const int kWidth = 230, kHeight = 80;
const int kCornerSize = 15;
const int kIconX = 15, kIconY = 24, kIconSide = 32;
const int kEditorX = 55, kEditorY = 15, kEditorWidth = 160, kEditorHeight = 23;
const int kButtonY = 45, kButtonWidth = 80, kButtonHeight = 30;
const int kConfirmX = 55, kCancelX = 135;
const char kConfirmCaption[] = "Ok";
const char kRussianCancelCaption[] = "\xCE\xF2\xEC\xE5\xED\xE0"; // "Отмена" in Windows-1251
const char kEnglishCancelCaption[] = "Cancel";

// The class as registered; the dialog is created from its name and instance.
WNDCLASSA dialogClass;

// Region, font and children, every measure scaled for the dpi.
void BuildContents(HWND window, int dpi)
{
    editDlg.dpi = dpi;
    // The system owns the region from here.
    SetWindowRgn(window,
                 CreateRoundRectRgn(0, 0, Scale(kWidth, dpi), Scale(kHeight, dpi), Scale(kCornerSize, dpi),
                                    Scale(kCornerSize, dpi)),
                 TRUE);

    LOGFONTA face = {};
    face.lfHeight = Scale(-12, dpi);
    face.lfWeight = 800;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(face.lfFaceName, "Comic Sans MS");
    editDlg.font = CreateFontIndirectA(&face);

    editDlg.editor = CreateLEditor(window, Scale(kEditorX, dpi), Scale(kEditorY, dpi), Scale(kEditorWidth, dpi),
                                   Scale(kEditorHeight, dpi));
    HINSTANCE module = dialogClass.hInstance;
    const int buttonY = Scale(kButtonY, dpi), width = Scale(kButtonWidth, dpi), height = Scale(kButtonHeight, dpi);
    editDlg.confirmButton = CreateEVButton(window, EDITDLG_CONFIRM, kConfirmCaption,
                                           LoadIconA(module, MAKEINTRESOURCEA(IDI_CONFIRM)), editDlg.font,
                                           Scale(kConfirmX, dpi), buttonY, width, height);
    editDlg.cancelButton = CreateEVButton(window, EDITDLG_CANCEL,
                                          UiSpeaksRussian() ? kRussianCancelCaption : kEnglishCancelCaption,
                                          LoadIconA(module, MAKEINTRESOURCEA(IDI_CANCEL)), editDlg.font,
                                          Scale(kCancelX, dpi), buttonY, width, height);
}

LRESULT OnCreate(HWND window)
{
    editDlg.window = window;
    editDlg.editedSlot = nullptr;
    BuildContents(window, WindowDpi(window));
    return 0;
}

// Made again for another DPI, the text being edited kept.
void RebuildContents(HWND window, int dpi)
{
    const int length = GetWindowTextLengthA(editDlg.editor);
    char* text = static_cast<char*>(malloc(length + 1));
    if (text)
        text[GetWindowTextA(editDlg.editor, text, length + 1)] = 0;
    DestroyWindow(editDlg.editor);
    DestroyWindow(editDlg.confirmButton);
    DestroyWindow(editDlg.cancelButton);
    DeleteObject(editDlg.font);
    BuildContents(window, dpi);
    SetWindowTextA(editDlg.editor, text ? text : "");
    free(text);
}

// Dragged onto a monitor of another scale: made for it, where it suggests.
void OnDpiChanged(HWND window, int dpi, const RECT* suggested)
{
    RebuildContents(window, dpi);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, Scale(kWidth, dpi), Scale(kHeight, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindowVisible(window))
        SetFocus(editDlg.editor);
}

// After the children are gone, so no button paints with a deleted font.
void OnNcDestroy()
{
    DeleteObject(editDlg.font);
    const ATOM classAtom = editDlg.classAtom;
    editDlg = {};
    editDlg.classAtom = classAtom;
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Only a shown dialog has a slot, but a paint may be asked for by anyone.
    if (editDlg.editedSlot)
        DrawIconEx(dc, Scale(kIconX, editDlg.dpi), Scale(kIconY, editDlg.dpi),
                   static_cast<HICON>(editDlg.editedSlot->icon), Scale(kIconSide, editDlg.dpi),
                   Scale(kIconSide, editDlg.dpi), 0, nullptr, DI_NORMAL);
    EndPaint(window, &paint);
}

// Centred on the cursor, moved onto the screen where that leaves part of it
// off.
void PlaceAtCursor(HWND window, POINT cursor)
{
    const int width = Scale(kWidth, editDlg.dpi), height = Scale(kHeight, editDlg.dpi);
    const int left = cursor.x - width / 2, top = cursor.y - height / 2;
    RECT centred = {left, top, left + width, top + height};
    RECT place = WholeOnWorkArea(centred, cursor);
    MoveWindow(window, place.left, place.top, width, height, TRUE);
}

LRESULT OnEditSlot(HWND window, LauncherSlot* slot, const POINT* at)
{
    if (!slot)
        return 0;
    // Whatever was typed for a slot edited before is dropped here.
    editDlg.editedSlot = slot;
    SetWindowTextA(editDlg.editor, slot->hint ? slot->hint : "");
    POINT cursor;
    if (at)
        cursor = *at;
    else
        GetCursorPos(&cursor);
    PlaceAtCursor(window, cursor);
    // Put on a monitor of another scale than the one it was made for, it is
    // made again for that one before it shows.
    const int dpi = WindowDpi(window);
    if (dpi != editDlg.dpi) {
        RebuildContents(window, dpi);
        PlaceAtCursor(window, cursor);
    }
    SetFocus(editDlg.editor);
    ShowWindow(window, SW_SHOW);
    InvalidateRect(window, nullptr, TRUE);
    return 1;
}

// The editor's text becomes the slot's hint; an empty text leaves it absent.
// The new text is read before the old hint goes, so that running out of
// memory loses nothing: the dialog then stays open with the text typed.
void OnConfirm(HWND window)
{
    LauncherSlot* slot = editDlg.editedSlot;
    if (!slot) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    const int length = GetWindowTextLengthA(editDlg.editor);
    char* text = nullptr;
    if (length > 0) {
        text = static_cast<char*>(malloc(length + 1));
        if (!text)
            return;
        text[GetWindowTextA(editDlg.editor, text, length + 1)] = 0;
    }
    free(slot->hint);
    slot->hint = text;
    SendMessageA(GetParent(window), UM_SLOTCHANGED, 0, reinterpret_cast<LPARAM>(slot));
    ShowWindow(window, SW_HIDE); // and so forgets the slot
}

void OnCommand(HWND window, WPARAM command)
{
    switch (LOWORD(command)) {
    case EDITDLG_CONFIRM:
        OnConfirm(window);
        break;
    case EDITDLG_CANCEL:
        ShowWindow(window, SW_HIDE);
        break;
    }
}

} // namespace

ATOM RegisterEditDlgClass(HINSTANCE instance)
{
    if (editDlg.classAtom)
        return editDlg.classAtom;
    RegisterLEditorClass(instance);
    RegisterEVButtonClass(instance);
    dialogClass = {};
    dialogClass.lpfnWndProc = EditDlgWndProc;
    dialogClass.hInstance = instance;
    dialogClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The class owns its brush from here: the system deletes it when the
    // class is unregistered.
    dialogClass.hbrBackground = CreateSolidBrush(kSkyBlue);
    dialogClass.lpszClassName = kEditDlgClassName;
    editDlg.classAtom = RegisterClassA(&dialogClass);
    if (!editDlg.classAtom)
        DeleteObject(dialogClass.hbrBackground);
    return editDlg.classAtom;
}

void UnregisterEditDlgClass(HINSTANCE instance)
{
    if (editDlg.classAtom && UnregisterClassA(kEditDlgClassName, instance))
        editDlg.classAtom = 0;
    UnregisterLEditorClass(instance);
    UnregisterEVButtonClass(instance);
}

HWND CreateEditDlg(HWND owner)
{
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, dialogClass.lpszClassName, nullptr, WS_POPUP,
                           0, 0, kWidth, kHeight, owner, nullptr, dialogClass.hInstance, nullptr);
}

void OpenEditDlg(HWND dialog, LauncherSlot* slot, const POINT* at)
{
    SendMessageA(dialog, UM_EDITSLOT, reinterpret_cast<WPARAM>(at), reinterpret_cast<LPARAM>(slot));
}

LRESULT CALLBACK EditDlgWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OnColourMessage(window, message, wParam))
        return 1;
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_NCDESTROY:
        OnNcDestroy();
        break;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_SHOWWINDOW:
        if (!wParam)
            editDlg.editedSlot = nullptr; // a hidden dialog edits nothing
        return 0;
    case WM_NCHITTEST:
        return HTCAPTION; // dragged by any point no child covers
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE); // lives on for the next edit
        return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return 0;
    case WM_COMMAND:
        OnCommand(window, wParam);
        return 0;
    case UM_EDITSLOT:
        return OnEditSlot(window, reinterpret_cast<LauncherSlot*>(lParam), reinterpret_cast<const POINT*>(wParam));
    case WM_DPICHANGED:
        OnDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
