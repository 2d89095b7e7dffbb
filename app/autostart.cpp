#include "app/autostart.h"

#include <string.h>

#include "app/autostart_command.h"
#include "app/launcher_record.h"
#include "base/slots.h"

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool IsAutostartEnabled()
{
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, &run) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExA(run, kRingWindowTitle, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(run);
    return exists;
}

namespace {

// The command for the running executable; false when its path came out
// empty or cut short, so that no wrong program is ever registered.
bool RunningExeCommand(char* command, size_t capacity)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return BuildAutostartCommand(path, command, capacity);
}

} // namespace

bool SetAutostart(bool enabled)
{
    char command[MAX_PATH + 2]; // the longest path, its quotes and the NUL
    if (enabled && !RunningExeCommand(command, sizeof command))
        return false;
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_WRITE, &run) != ERROR_SUCCESS)
        return false;
    LONG result;
    if (enabled) {
        // The stored size counts the terminating NUL.
        result = RegSetValueExA(run, kRingWindowTitle, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                                static_cast<DWORD>(strlen(command) + 1));
    } else {
        result = RegDeleteValueA(run, kRingWindowTitle);
    }
    RegCloseKey(run);
    return result == ERROR_SUCCESS;
}

void ToggleAutostart(HMENU mainMenu)
{
    launcher.autostartEnabled = !launcher.autostartEnabled;
    SetAutostart(launcher.autostartEnabled);
    CheckMenuItem(mainMenu, IDM_AUTOSTART,
                  MF_BYCOMMAND | (launcher.autostartEnabled ? MF_CHECKED : MF_UNCHECKED));
}
