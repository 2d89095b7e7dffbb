#include "app/autostart.h"

#include <wchar.h>

#include "app/autostart_command.h"
#include "app/launcher_record.h"
#include "base/fixed_text.h"
#include "base/slots.h"

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

const int kRunValueNameRoom = 64; // the window title and its NUL, with room to spare

// The value's name, the window title, as the wide calls take it.
void RunValueName(wchar_t (&name)[kRunValueNameRoom])
{
    WidenFixedText(kRingWindowTitle, name, kRunValueNameRoom);
}

// The command for the running executable from its whole UTF-16 path, so
// that a folder named outside the code page starts too; false when the path
// came out empty or cut short, so that no wrong program is ever registered.
bool RunningExeCommand(wchar_t* command, size_t capacity)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return BuildAutostartCommand(path, command, capacity);
}

} // namespace

bool IsAutostartEnabled()
{
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, &run) != ERROR_SUCCESS)
        return false;
    wchar_t name[kRunValueNameRoom];
    RunValueName(name);
    bool exists = RegQueryValueExW(run, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(run);
    return exists;
}

bool SetAutostart(bool enabled)
{
    wchar_t command[MAX_PATH + 2]; // the longest path, its quotes and the NUL
    if (enabled && !RunningExeCommand(command, MAX_PATH + 2))
        return false;
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_WRITE, &run) != ERROR_SUCCESS)
        return false;
    wchar_t name[kRunValueNameRoom];
    RunValueName(name);
    LONG result;
    if (enabled) {
        // The stored size counts the terminating NUL.
        result = RegSetValueExW(run, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                                static_cast<DWORD>((wcslen(command) + 1) * sizeof(wchar_t)));
    } else {
        result = RegDeleteValueW(run, name);
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
