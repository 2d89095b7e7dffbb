#include "settings/settings_shim.h"

#include <windows.h>

bool PathExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void ShowSettingsMessage(const char* text, const char* caption)
{
    MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
}

bool ReplaceFileWith(const char* source, const char* destination)
{
    return MoveFileExA(source, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
