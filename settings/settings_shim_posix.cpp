#include "settings/settings_shim.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int settingsMessageCount = 0;
const char* lastSettingsMessageText = nullptr;
const char* lastSettingsMessageCaption = nullptr;
int settingsOpenFailures = 0;
int settingsPausedMilliseconds = 0;

bool PathExists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

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
    return !PathExists(path) && !PlaceAbsent(path);
}

void ShowSettingsMessage(const char* text, const char* caption)
{
    // Kept, since a message made to fit is freed once it has been shown.
    static char shownText[1024];
    snprintf(shownText, sizeof shownText, "%s", text);
    ++settingsMessageCount;
    lastSettingsMessageText = shownText;
    lastSettingsMessageCaption = caption;
}

bool ReplaceFileWith(const char* source, const char* destination)
{
    return rename(source, destination) == 0;
}

FILE* OpenForReading(const char* path)
{
    if (settingsOpenFailures > 0) {
        --settingsOpenFailures;
        errno = EBUSY;
        return nullptr;
    }
    return fopen(path, "rb");
}

FILE* CreateNewFile(const char* path)
{
    int file = open(path, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (file < 0)
        return nullptr;
    FILE* stream = fdopen(file, "wb");
    if (!stream)
        close(file);
    return stream;
}

bool FlushToDisk(FILE* stream)
{
    return fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

void DescribeLastFileError(char* text, int capacity)
{
    snprintf(text, capacity, "%s", strerror(errno));
}

void PauseMilliseconds(int milliseconds)
{
    settingsPausedMilliseconds += milliseconds;
}
