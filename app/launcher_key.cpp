#include "app/launcher_key.h"

bool ReadLauncherString(const char* name, char* bytes, DWORD* size)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ta[V]en Software\\[Z] Rondel", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ;
}
