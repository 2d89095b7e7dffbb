#include "settings/settings_shim.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

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
