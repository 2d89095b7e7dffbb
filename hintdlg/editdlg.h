// The hint edit dialog, window class "EditDlg_Class": a borderless, rounded,
// always-on-top 230 x 80 pop-up with the slot's icon, a line editor holding
// the slot's hint, and the "Ok" and "Отмена" push buttons. There is one; it
// lives hidden for the whole run and is shown on demand with UM_EDITSLOT.
#ifndef ZRONDEL_HINTDLG_EDITDLG_H
#define ZRONDEL_HINTDLG_EDITDLG_H

#include <windows.h>

#include "base/slots.h"

extern const char kEditDlgClassName[]; // "EditDlg_Class"

// Command identifiers of the two push buttons.
enum { EDITDLG_CONFIRM = 1, EDITDLG_CANCEL = 2 };

// The one dialog's state, program-wide.
struct EditDlgState {
    ATOM classAtom;           // "EditDlg_Class"; 0 while not registered
    HWND window;              // the dialog; null before creation and after destruction
    HWND editor;              // the LEditor child holding the hint being edited
    HWND confirmButton;       // "Ok", command EDITDLG_CONFIRM
    HWND cancelButton;        // "Отмена" ("Cancel" outside Russian), command EDITDLG_CANCEL
    HFONT font;               // extra-bold "Comic Sans MS" of both buttons; owned,
                              //   deleted when the dialog goes
    LauncherSlot* editedSlot; // slot being edited; set while shown, null whenever hidden
    int dpi;                  // the DPI its size, region, font and children are made for
};

extern EditDlgState editDlg;

// Registers "LEditor" and "EVButton", then "EditDlg_Class", on the first
// call; later calls return the kept atom and register nothing.
ATOM RegisterEditDlgClass(HINSTANCE instance);
// Unregisters "EditDlg_Class" (the system deletes its brush), "LEditor" and
// "EVButton", so that a later RegisterEditDlgClass starts afresh. Call it
// once the dialog is gone.
void UnregisterEditDlgClass(HINSTANCE instance);

// The hidden dialog owned by owner; null when it cannot be made.
HWND CreateEditDlg(HWND owner);
// Shows the dialog centred on the cursor, or on the screen point at where
// given (moved onto the screen where that leaves part of it off), for the
// slot, with its hint in the editor and the editor focused, made for the DPI
// of the monitor it opens on; re-targets a dialog already shown. The point
// travels as UM_EDITSLOT's wParam, 0 for the cursor.
void OpenEditDlg(HWND dialog, LauncherSlot* slot, const POINT* at = nullptr);

LRESULT CALLBACK EditDlgWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
