#include "settings/settings_shim.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/slots.h"
#include "base/target_kind.h"

int settingsMessageCount = 0;
void (*whileSettingsMessageShown)() = nullptr;
const char* lastSettingsMessageText = nullptr;
const char* lastSettingsMessageCaption = nullptr;
int settingsOpenFailures = 0;
int settingsPausedMilliseconds = 0;
const char* settingsHeldPath = nullptr;
int settingsReadFailures = 0;
int settingsReplaceFailures = 0;
int settingsKillCountdown = -1;
bool settingsPulledReplace = false;
void (*afterSettingsReplace)() = nullptr;
int settingsCodePage = 1252;

// Where a kill may strike: before the next change to the disk. From the
// kill on, nothing more reaches the disk, as from a process that is gone;
// a file being flushed keeps half of what was written to it.
static bool Killed(FILE* flushing = nullptr)
{
    if (settingsKillCountdown > 0) {
        --settingsKillCountdown;
        return false;
    }
    if (settingsKillCountdown < 0)
        return false;
    if (flushing) {
        fflush(flushing);
        if (ftruncate(fileno(flushing), ftell(flushing) / 2) != 0)
            abort();
    }
    errno = EIO;
    return true;
}

// A file another program holds without sharing: it cannot be opened, moved
// or replaced.
static bool IsHeld(const char* path)
{
    if (!settingsHeldPath || strcmp(path, settingsHeldPath) != 0)
        return false;
    errno = EBUSY;
    return true;
}

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

// A whole name in UTF-8, as this system names files: a heap copy, empty
// where a unit is a lone surrogate half; null without memory.
static char* Utf8Of(const char16_t* text)
{
    static const unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    char* utf8 = static_cast<char*>(malloc(WholeLength(text) * 3 + 1));
    size_t used = 0;
    for (; utf8 && *text; ++text) {
        uint32_t code = *text;
        if (code >= 0xD800 && code < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (*++text - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000) {
            used = 0;
            break;
        }
        int tail = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
        utf8[used++] = static_cast<char>(kLead[tail] | (code >> (6 * tail)));
        while (tail-- > 0)
            utf8[used++] = static_cast<char>(0x80 | ((code >> (6 * tail)) & 0x3F));
    }
    if (utf8)
        utf8[used] = '\0';
    return utf8;
}

char16_t* WholeNameOf(const char* ansi)
{
    const size_t length = strlen(ansi);
    char16_t* whole = static_cast<char16_t*>(malloc((length + 1) * sizeof(char16_t)));
    for (size_t i = 0; whole && i <= length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(ansi[i]);
        whole[i] = settingsCodePage == 1251 && byte >= 0xC0 ? static_cast<char16_t>(0x410 + byte - 0xC0) : byte;
    }
    return whole;
}

bool TargetIsGone(const char* path, const char16_t* whole)
{
    // A link or a place of the shell has no file to find.
    if (KindOfTarget(path) != TARGET_FILE)
        return false;
    // The system reads an ANSI name in its code page; the file system here
    // names files in UTF-8.
    char16_t* read = whole ? nullptr : WholeNameOf(path);
    const char16_t* name = whole ? whole : read;
    char* wholePath = name ? Utf8Of(name) : nullptr;
    free(read);
    const char* asked = wholePath ? wholePath : path;
    bool gone = !PathExists(asked) && !PlaceAbsent(asked);
    free(wholePath);
    return gone;
}

void SetSettingsMessageOwner(void*) {}

void ShowSettingsMessage(const char* text, const char* caption)
{
    // Kept, since a message made to fit is freed once it has been shown.
    static char shownText[1024];
    snprintf(shownText, sizeof shownText, "%s", text);
    ++settingsMessageCount;
    lastSettingsMessageText = shownText;
    lastSettingsMessageCaption = caption;
    if (whileSettingsMessageShown)
        whileSettingsMessageShown();
}

bool ReplaceFileWith(const char* source, const char* destination)
{
    if (Killed()) {
        if (settingsPulledReplace)
            unlink(destination);
        return false;
    }
    if (IsHeld(source) || IsHeld(destination))
        return false;
    if (settingsReplaceFailures > 0) {
        --settingsReplaceFailures;
        errno = EBUSY;
        return false;
    }
    // Windows refuses to replace a read-only file, whoever asks.
    struct stat status;
    if (stat(destination, &status) == 0 && !(status.st_mode & S_IWUSR)) {
        errno = EACCES;
        return false;
    }
    if (rename(source, destination) != 0)
        return false;
    if (afterSettingsReplace)
        afterSettingsReplace();
    return true;
}

bool MoveFileTo(const char* source, const char* destination)
{
    struct stat status;
    if (Killed() || IsHeld(source))
        return false;
    if (stat(source, &status) != 0)
        return false;
    if (!S_ISREG(status.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (lstat(destination, &status) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(source, destination) == 0;
}

bool RemoveFile(const char* path)
{
    return !Killed() && !IsHeld(path) && unlink(path) == 0;
}

FILE* OpenForReading(const char* path)
{
    if (settingsOpenFailures > 0) {
        --settingsOpenFailures;
        errno = EBUSY;
        return nullptr;
    }
    if (IsHeld(path))
        return nullptr;
    if (settingsReadFailures > 0) {
        // A folder opens, but every read from it fails, as from a locked
        // range or an offline cloud file.
        --settingsReadFailures;
        return fopen("/", "rb");
    }
    return fopen(path, "rb");
}

FILE* CreateNewFile(const char* path)
{
    if (Killed())
        return nullptr;
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
    if (Killed(stream))
        return false;
    return fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

bool FileStamp(const char* path, long long* size, long long* writeTime)
{
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    *size = status.st_size;
    *writeTime = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
    return true;
}

// The lock's descriptor and name, so that its file goes when it is let go.
struct LockFile {
    int descriptor;
    char* path;
};

void* OpenLockFile(const char* path, bool* busy)
{
    *busy = false;
    int descriptor = open(path, O_RDWR | O_CREAT, 0644);
    if (descriptor < 0)
        return nullptr;
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        *busy = errno == EWOULDBLOCK;
        close(descriptor);
        return nullptr;
    }
    LockFile* lock = static_cast<LockFile*>(malloc(sizeof(LockFile)));
    char* name = strdup(path);
    if (!lock || !name) {
        free(lock);
        free(name);
        close(descriptor);
        return nullptr;
    }
    *lock = {descriptor, name};
    return lock;
}

void CloseLockFile(void* held)
{
    LockFile* lock = static_cast<LockFile*>(held);
    unlink(lock->path);
    close(lock->descriptor);
    free(lock->path);
    free(lock);
}

bool ReplaceRefusalPasses(const char*, const char*)
{
    return errno == EBUSY; // what a held file and a refused replace give here
}

void DescribeLastFileError(char* text, int capacity)
{
    snprintf(text, capacity, "%s", strerror(errno));
}

void PauseMilliseconds(int milliseconds)
{
    settingsPausedMilliseconds += milliseconds;
}
