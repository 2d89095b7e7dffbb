#include "app/tray.h"

#include <shellapi.h>
#include <string.h>

#include "base/slots.h"

namespace {

// The record as first defined (88 bytes in a 32-bit program): every shell
// since Windows 95 takes it.
const DWORD kFirstNotifyIconSize = NOTIFYICONDATAA_V1_SIZE;

NOTIFYICONDATAA trayIcon; // kept for the program's lifetime: adds and deletes the icon
UINT taskbarCreated;      // the shell's registered "TaskbarCreated" message; 0 before the icon

} // namespace

void AddTrayIcon(HWND window, HICON icon, const char* tip)
{
    memset(&trayIcon, 0, sizeof trayIcon);
    trayIcon.cbSize = kFirstNotifyIconSize;
    trayIcon.hWnd = window;
    trayIcon.uID = 1;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = UM_TRAYNOTIFY;
    trayIcon.hIcon = icon;
    lstrcpynA(trayIcon.szTip, tip, 64); // the tip field of the first record is 64 characters
    taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

void RestoreTrayIcon()
{
    if (trayIcon.hWnd)
        Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

void RemoveTrayIcon()
{
    Shell_NotifyIconA(NIM_DELETE, &trayIcon);
    trayIcon.hWnd = nullptr;
}

bool IsTaskbarCreated(UINT message)
{
    return taskbarCreated != 0 && message == taskbarCreated;
}

void ShowMenuAtCursor(HWND owner, HMENU menu)
{
    POINT cursor;
    GetCursorPos(&cursor);
    ShowMenuAt(owner, menu, cursor);
}

void ShowMenuAt(HWND owner, HMENU menu, POINT at)
{
    // Without being foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenu(menu, 0, at.x, at.y, 0, owner, nullptr);
}

void EnableSlotMenu(HMENU menu, bool slotHasTarget)
{
    int count = GetMenuItemCount(menu);
    for (int position = 1; position < count; ++position)
        EnableMenuItem(menu, position, MF_BYPOSITION | (slotHasTarget ? MF_ENABLED : MF_GRAYED));
}
