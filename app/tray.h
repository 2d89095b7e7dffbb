// The notification-area icon and the two pop-up menus: the main menu (tray
// icon and ring face) and the slot menu (right click on a ring button).
#ifndef ZRONDEL_APP_TRAY_H
#define ZRONDEL_APP_TRAY_H

#include <windows.h>

// Puts the icon into the notification area; its mouse events come back to
// the window as UM_TRAYNOTIFY. The record is kept for re-adding and removing.
void AddTrayIcon(HWND window, HICON icon, const char* tip);
// Adds the kept icon once more, after the shell's taskbar was recreated.
void RestoreTrayIcon();
void RemoveTrayIcon();

// Whether the message is the shell's news that its taskbar has been
// recreated (Explorer restarted): the icon must then be added again.
bool IsTaskbarCreated(UINT message);

// Opens the menu at the cursor, owned by the window; the choice arrives as
// WM_COMMAND.
void ShowMenuAtCursor(HWND owner, HMENU menu);
// The same with its top-left corner at a screen point.
void ShowMenuAt(HWND owner, HMENU menu, POINT at);
// Greys the slot menu's entries after the first unless the slot has a target.
void EnableSlotMenu(HMENU menu, bool slotHasTarget);

#endif
