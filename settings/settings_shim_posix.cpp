#include "settings/settings_shim.h"

#include <stdio.h>
#include <sys/stat.h>

int settingsMessageCount = 0;
const char* lastSettingsMessageText = nullptr;
const char* lastSettingsMessageCaption = nullptr;

bool PathExists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

void ShowSettingsMessage(const char* text, const char* caption)
{
    ++settingsMessageCount;
    lastSettingsMessageText = text;
    lastSettingsMessageCaption = caption;
}

bool ReplaceFileWith(const char* source, const char* destination)
{
    return rename(source, destination) == 0;
}
