#include "settings/settings_shim.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

int settingsMessageCount = 0;
const char* lastSettingsMessageText = nullptr;
const char* lastSettingsMessageCaption = nullptr;

// Natively the first folder of a full path stands for its drive: a path
// below a first folder that does not exist is on a place not there now.
static bool PlaceAbsent(const char* path)
{
    if (path[0] != '/')
        return false;
    char root[PATH_MAX];
    size_t length = 1 + strcspn(path + 1, "/");
    if (length >= sizeof root)
        return false;
    memcpy(root, path, length);
    root[length] = '\0';
    struct stat status;
    return stat(root, &status) != 0;
}

bool TargetIsGone(const char* path)
{
    struct stat status;
    return stat(path, &status) != 0 && !PlaceAbsent(path);
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
