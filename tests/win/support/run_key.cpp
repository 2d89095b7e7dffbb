#include "tests/win/support/run_key.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kValueName[] = "Ta[V]en Software [Z] Rondel";

} // namespace

RunValue ReadLauncherRunValue()
{
    RunValue value = {false, REG_NONE, std::string()};
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &run) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(run, kValueName, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = RegQueryValueExA(run, kValueName, nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(run);
    return value;
}

bool WriteLauncherRunValue(DWORD type, const std::string& data)
{
    HKEY run;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &run, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool written = RegSetValueExA(run, kValueName, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    RegCloseKey(run);
    return written;
}

void DeleteLauncherRunValue()
{
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &run) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(run, kValueName);
    RegCloseKey(run);
}

std::string RunKeyContents(HKEY root)
{
    std::string contents;
    HKEY run;
    if (RegOpenKeyExA(root, kRunKey, 0, KEY_READ, &run) != ERROR_SUCCESS)
        return contents;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        BYTE data[16384];
        DWORD dataSize = sizeof data;
        DWORD type = REG_NONE;
        if (RegEnumValueA(run, index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        contents += std::string(name, nameLength) + '|' + std::to_string(type) + '|' +
                    std::string(reinterpret_cast<char*>(data), dataSize) + '\n';
    }
    RegCloseKey(run);
    return contents;
}

LauncherRunValueGuard::LauncherRunValueGuard() : saved_(ReadLauncherRunValue())
{
    DeleteLauncherRunValue();
}

LauncherRunValueGuard::~LauncherRunValueGuard()
{
    DeleteLauncherRunValue();
    if (saved_.exists)
        WriteLauncherRunValue(saved_.type, saved_.data);
}
