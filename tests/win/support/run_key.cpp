#include "tests/win/support/run_key.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kValueName[] = "Ta[V]en Software [Z] Rondel";

// The shortest leading part of the path that names no key; "" when the
// whole path exists.
std::string FirstMissingKey(const std::string& keyPath)
{
    for (size_t end = keyPath.find('\\');; end = keyPath.find('\\', end + 1)) {
        std::string part = keyPath.substr(0, end);
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, part.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return part;
        RegCloseKey(key);
        if (end == std::string::npos)
            return std::string();
    }
}

} // namespace

RegistryValue ReadUserValue(const char* keyPath, const char* name)
{
    RegistryValue value = {false, REG_NONE, std::string()};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = RegQueryValueExA(key, name, nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

bool WriteUserValue(const char* keyPath, const char* name, DWORD type, const std::string& data)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool written = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

void DeleteUserValue(const char* keyPath, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

UserValueGuard::UserValueGuard(const char* keyPath, const char* name)
    : keyPath_(keyPath), name_(name), saved_(ReadUserValue(keyPath, name)), firstMissingKey_(FirstMissingKey(keyPath))
{
    DeleteUserValue(keyPath, name);
}

UserValueGuard::~UserValueGuard()
{
    DeleteUserValue(keyPath_.c_str(), name_.c_str());
    if (saved_.exists)
        WriteUserValue(keyPath_.c_str(), name_.c_str(), saved_.type, saved_.data);
    if (!firstMissingKey_.empty())
        RegDeleteTreeA(HKEY_CURRENT_USER, firstMissingKey_.c_str());
}

RegistryValue ReadLauncherRunValue()
{
    return ReadUserValue(kRunKey, kValueName);
}

bool WriteLauncherRunValue(DWORD type, const std::string& data)
{
    return WriteUserValue(kRunKey, kValueName, type, data);
}

void DeleteLauncherRunValue()
{
    DeleteUserValue(kRunKey, kValueName);
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

LauncherRunValueGuard::LauncherRunValueGuard() : UserValueGuard(kRunKey, kValueName) {}
