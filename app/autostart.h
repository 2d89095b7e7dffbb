// Starting the launcher at logon: a value named after the window title in
// the current user's Run key. The registry is the only record of the choice.
#ifndef ZRONDEL_APP_AUTOSTART_H
#define ZRONDEL_APP_AUTOSTART_H

#include <windows.h>

extern const char kRunKeyPath[]; // "Software\Microsoft\Windows\CurrentVersion\Run"

// True while the value exists, whatever its type or data.
bool IsAutostartEnabled();
// Writes the running executable's command (its whole UTF-16 path, quoted
// when it has a space) or deletes the value; answers whether the registry
// took it.
bool SetAutostart(bool enabled);
// The main menu's "Автостарт": inverts launcher.autostartEnabled, tells the
// registry and sets the item's check mark. The flag and the mark follow the
// click even when the registry refuses; the next start shows what it holds.
void ToggleAutostart(HMENU mainMenu);

#endif
