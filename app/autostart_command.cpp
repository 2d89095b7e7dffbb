#include "app/autostart_command.h"

#include <string.h>

bool BuildAutostartCommand(const char* exePath, char* buffer, size_t capacity)
{
    if (capacity == 0)
        return false;
    buffer[0] = '\0';
    size_t length = strlen(exePath);
    bool quoted = strchr(exePath, ' ') != nullptr;
    size_t needed = length + (quoted ? 2 : 0) + 1;
    if (length == 0 || needed > capacity)
        return false;
    char* out = buffer;
    if (quoted)
        *out++ = '"';
    memcpy(out, exePath, length);
    out += length;
    if (quoted)
        *out++ = '"';
    *out = '\0';
    return true;
}
