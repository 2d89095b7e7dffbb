#include "app/autostart_command.h"

#include <wchar.h>

bool BuildAutostartCommand(const wchar_t* exePath, wchar_t* buffer, size_t capacity)
{
    if (capacity == 0)
        return false;
    buffer[0] = L'\0';
    size_t length = wcslen(exePath);
    bool quoted = wcschr(exePath, L' ') != nullptr;
    size_t needed = length + (quoted ? 2 : 0) + 1;
    if (length == 0 || needed > capacity)
        return false;
    wchar_t* out = buffer;
    if (quoted)
        *out++ = L'"';
    wmemcpy(out, exePath, length);
    out += length;
    if (quoted)
        *out++ = L'"';
    *out = L'\0';
    return true;
}
