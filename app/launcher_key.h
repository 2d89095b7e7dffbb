// The launcher's own key under HKEY_CURRENT_USER, "Software\Ta[V]en
// Software\[Z] Rondel", whose REG_SZ values the user may set by hand:
// "Hotkey" and "Language".
#ifndef ZRONDEL_APP_LAUNCHER_KEY_H
#define ZRONDEL_APP_LAUNCHER_KEY_H

#include <windows.h>

// The named REG_SZ value's bytes as stored (the NUL may be left out) and, in
// *size, their count; *size gives the room in bytes on entry. False when
// there is no such value, it is of another type or it does not fit.
bool ReadLauncherString(const char* name, char* bytes, DWORD* size);

#endif
