#include "settings/settings_shim.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "base/slots.h"
#include "base/target_kind.h"

namespace {

// A drive or share root that this run has asked about, and its answer.
struct KnownPlace {
    KnownPlace* next; // the root asked about before it
    volatile bool absent; // not there now: its targets are kept without asking again
    char root[1];     // "X:\" or "\\server\share\", allocated to its length
};

// The settings are read once per start, so each answer holds for the whole
// run; the list lives as long as the process (a few bytes per root). The
// ring's workers ask at the same time: a root is only ever added in front.
KnownPlace* volatile knownPlaces;

// The root of a full path: "X:\" for a drive letter, "\\server\share\" for
// a share; "" for any other path, which has no place to ask about.
void PlaceRoot(const char* path, char* root)
{
    size_t length = 0;
    if (static_cast<unsigned>((path[0] | 0x20) - 'a') < 26 && path[1] == ':') {
        length = 2;
    } else if (path[0] == '\\' && path[1] == '\\') {
        const char* serverEnd = strchr(path + 2, '\\');
        const char* shareEnd = serverEnd ? strchr(serverEnd + 1, '\\') : nullptr;
        if (serverEnd)
            length = shareEnd ? static_cast<size_t>(shareEnd - path) : strlen(path);
    }
    if (length == 0 || length + 2 > MAX_PATH) {
        root[0] = '\0';
        return;
    }
    memcpy(root, path, length);
    root[length] = '\\';
    root[length + 1] = '\0';
}

// The answer for a root asked about before; null for a new root or "".
KnownPlace* FindKnownPlace(const char* root)
{
    for (KnownPlace* place = knownPlaces; place; place = place->next) {
        if (lstrcmpiA(place->root, root) == 0)
            return place;
    }
    return nullptr;
}

// Without memory the root is simply asked again for its next target.
void RememberPlace(const char* root, bool absent)
{
    size_t length = strlen(root);
    KnownPlace* place = length ? static_cast<KnownPlace*>(malloc(sizeof(KnownPlace) + length)) : nullptr;
    if (place) {
        place->absent = absent;
        memcpy(place->root, root, length + 1);
        do
            place->next = knownPlaces;
        while (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&knownPlaces), place,
                                                 place->next) != place->next);
    }
}

// Errors that tell of a drive, medium, device or network path that cannot
// be reached now, not of a file that is gone.
bool IsPlaceAbsentError(DWORD error)
{
    switch (error) {
    case ERROR_INVALID_DRIVE:        // a drive letter with no volume
    case ERROR_NOT_READY:            // a removable drive without its medium
    case ERROR_NO_MEDIA_IN_DRIVE:    // the same, as some drivers tell it
    case ERROR_DEVICE_NOT_CONNECTED: // a drive unplugged while its letter stays
    case ERROR_DEV_NOT_EXIST:        // a device or network resource gone away
    case ERROR_REM_NOT_LIST:         // a server not listening
    case ERROR_BAD_NETPATH:          // a server that does not answer
    case ERROR_NETWORK_BUSY:         // a network too busy to answer now
    case ERROR_UNEXP_NET_ERR:        // a connection that broke off
    case ERROR_NETNAME_DELETED:      // a share that went away
    case ERROR_BAD_NET_NAME:         // a share not offered (yet)
    case ERROR_BAD_DEV_TYPE:         // a share the system cannot reach as a disk now
    case ERROR_REQ_NOT_ACCEP:        // a server taking no more connections now
    case ERROR_SEM_TIMEOUT:          // a server that stopped answering
    case ERROR_CONNECTION_UNAVAIL:   // a remembered drive mapping not made again yet
    case ERROR_NO_NET_OR_BAD_PATH:   // no network provider to reach the path now
    case ERROR_NO_NETWORK:           // the network not started yet, early in a logon
    case ERROR_NETWORK_UNREACHABLE:  // no route to the network
    case ERROR_HOST_UNREACHABLE:     // no route to the server
    case ERROR_NOT_CONNECTED:        // a drive mapping that is not there
        return true;
    default:
        return false;
    }
}

} // namespace

bool PathExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The attributes of the file a slot names: asked with the whole name where
// there is one, and in the \\?\ form where the name is too long for the
// plain one.
static DWORD TargetAttributes(const char* path, const char16_t* whole)
{
    const size_t length = whole ? WholeLength(whole) : strlen(path);
    if (length < MAX_PATH || strncmp(path, "\\\\?\\", 4) == 0)
        return whole ? GetFileAttributesW(reinterpret_cast<const wchar_t*>(whole)) : GetFileAttributesA(path);
    const bool share = path[0] == '\\' && path[1] == '\\';
    const wchar_t* prefix = share ? L"\\\\?\\UNC" : L"\\\\?\\";
    const size_t prefixLength = wcslen(prefix), skipped = share ? 1 : 0;
    wchar_t* asked = static_cast<wchar_t*>(malloc((prefixLength + length + 1) * sizeof(wchar_t)));
    int converted = 1;
    if (asked && whole)
        memcpy(asked + prefixLength, whole + skipped, (length - skipped + 1) * sizeof(wchar_t));
    else if (asked)
        converted = MultiByteToWideChar(CP_ACP, 0, path + skipped, -1, asked + prefixLength, static_cast<int>(length + 1));
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (asked && converted) {
        memcpy(asked, prefix, prefixLength * sizeof(wchar_t));
        attributes = GetFileAttributesW(asked);
    } else {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    const DWORD error = GetLastError();
    free(asked);
    SetLastError(error);
    return attributes;
}

static bool TargetIsGoneAsStored(const char* path, const char16_t* whole)
{
    // A link or a place of the shell has no file to find.
    if (KindOfTarget(path) != TARGET_FILE)
        return false;
    char root[MAX_PATH];
    PlaceRoot(path, root);
    KnownPlace* known = FindKnownPlace(root);
    // Asking again could wait for a network timeout once per slot.
    if (known && known->absent)
        return false;
    if (TargetAttributes(path, whole) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    bool absent = IsPlaceAbsentError(error) || error == ERROR_NOT_ENOUGH_MEMORY;
    // Not found: gone only when the drive or share itself is there, also
    // where it answered before, since it may have gone since.
    if (!absent && root[0] && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
        absent = GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR;
    if (known)
        known->absent = absent;
    else
        RememberPlace(root, absent);
    return !absent;
}

bool TargetPlaceWasAbsent(const char* path)
{
    char root[MAX_PATH];
    PlaceRoot(path, root);
    const KnownPlace* known = FindKnownPlace(root);
    return known && known->absent;
}

static bool IsDriveLetterPath(const wchar_t* path)
{
    return static_cast<unsigned>((path[0] | 0x20) - 'a') < 26 && path[1] == L':' && path[2] == L'\\';
}

wchar_t* OnLauncherDrive(const wchar_t* path)
{
    // Only the launcher's drive letter matters, which a cut path has as well.
    // A launcher on the drive Windows runs from is on no stick: there a
    // file it was not given could be anyone's, and it is never started.
    wchar_t launcher[MAX_PATH], windows[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, launcher, MAX_PATH) || !IsDriveLetterPath(launcher) ||
        !IsDriveLetterPath(path) || (launcher[0] | 0x20) == (path[0] | 0x20) ||
        !GetSystemWindowsDirectoryW(windows, MAX_PATH) || (windows[0] | 0x20) == (launcher[0] | 0x20))
        return nullptr;
    size_t size = (wcslen(path) + 1) * sizeof(wchar_t);
    wchar_t* moved = static_cast<wchar_t*>(malloc(size));
    if (!moved)
        return nullptr;
    memcpy(moved, path, size);
    moved[0] = launcher[0];
    const char root[] = {static_cast<char>(path[0]), ':', '\\', '\0'};
    const KnownPlace* known = FindKnownPlace(root);
    // A target that is there as stored is always used as stored; a drive
    // found absent is not asked again.
    if (GetFileAttributesW(moved) != INVALID_FILE_ATTRIBUTES &&
        ((known && known->absent) || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES))
        return moved;
    free(moved);
    return nullptr;
}

bool TargetIsGone(const char* path, const char16_t* whole)
{
    if (!TargetIsGoneAsStored(path, whole))
        return false;
    // Gone as stored but there on the launcher's drive: kept, and started from there.
    wchar_t wide[MAX_PATH];
    const wchar_t* asked = reinterpret_cast<const wchar_t*>(whole);
    if (!asked && MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        asked = wide;
    wchar_t* moved = asked ? OnLauncherDrive(asked) : nullptr;
    free(moved);
    return !moved;
}

// The ring, once it is made: its boxes keep it from taking commands.
static HWND messageOwner;

void SetSettingsMessageOwner(void* owner)
{
    messageOwner = static_cast<HWND>(owner);
}

void ShowSettingsMessage(const char* text, const char* caption)
{
    MessageBoxA(IsWindow(messageOwner) ? messageOwner : nullptr, text, caption, MB_ICONINFORMATION);
}

char16_t* WholeNameOf(const char* ansi)
{
    int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, nullptr, 0);
    wchar_t* whole = size > 0 ? static_cast<wchar_t*>(malloc(size * sizeof(wchar_t))) : nullptr;
    if (whole && MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, whole, size) != size) {
        free(whole);
        whole = nullptr;
    }
    return reinterpret_cast<char16_t*>(whole);
}

bool ReplaceFileWith(const char* source, const char* destination)
{
    // A file marked read-only is the user's to keep as it is: Windows
    // refuses to replace one, and Wine is held to the same.
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return MoveFileExA(source, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MoveFileTo(const char* source, const char* destination)
{
    // A folder would move as well: only files are the launcher's to move.
    DWORD attributes = GetFileAttributesA(source);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetLastError(ERROR_DIRECTORY);
        return false;
    }
    return MoveFileExA(source, destination, MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const char* path)
{
    return DeleteFileA(path) != 0;
}

FILE* OpenForReading(const char* path)
{
    return fopen(path, "rb"); // the runtime leaves the system's reason in the last error
}

FILE* CreateNewFile(const char* path)
{
    int file = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (file < 0)
        return nullptr;
    FILE* stream = _fdopen(file, "wb");
    if (!stream)
        _close(file);
    return stream;
}

bool FlushToDisk(FILE* stream)
{
    return fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
}

bool FileStamp(const char* path, long long* size, long long* writeTime)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    *writeTime = (static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

namespace {

// Whether another program holds the file open without letting it be
// renamed or deleted.
bool HeldAgainstDeleting(const char* path)
{
    HANDLE file = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace

bool ReplaceRefusalPasses(const char* source, const char* destination)
{
    const DWORD error = GetLastError();
    const bool passes = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                        (error == ERROR_ACCESS_DENIED &&
                         (HeldAgainstDeleting(destination) || HeldAgainstDeleting(source)));
    SetLastError(error);
    return passes;
}

void* OpenLockFile(const char* path, bool* busy)
{
    HANDLE lock = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (lock != INVALID_HANDLE_VALUE) {
        *busy = false;
        return lock;
    }
    // A lock just let go is pending deletion for a moment, which refuses access.
    const DWORD error = GetLastError();
    *busy = error == ERROR_SHARING_VIOLATION || (error == ERROR_ACCESS_DENIED && PathExists(path));
    SetLastError(error);
    return nullptr;
}

void CloseLockFile(void* lock)
{
    CloseHandle(static_cast<HANDLE>(lock));
}

void DescribeLastFileError(char* text, int capacity)
{
    DWORD code = GetLastError();
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, capacity, nullptr);
    // The system ends its texts with a line break; a code it has no text for
    // is still worth its number.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        wsprintfA(text, "Error %lu.", code);
    else
        text[length] = '\0';
}

void PauseMilliseconds(int milliseconds)
{
    Sleep(milliseconds);
}
