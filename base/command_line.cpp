#include "base/command_line.h"

size_t CommandProgram(const char16_t* command, size_t length, size_t* start)
{
    size_t at = 0;
    while (at < length && command[at] == u' ')
        ++at;
    const bool quoted = at < length && command[at] == u'"';
    if (quoted)
        ++at;
    const char16_t stop = quoted ? u'"' : u' ';
    size_t end = at;
    while (end < length && command[end] != u'\0' && command[end] != stop)
        ++end;
    *start = at;
    return end - at;
}
