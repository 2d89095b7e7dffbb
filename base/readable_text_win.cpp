#include "base/readable_text.h"

#include <limits.h>
#include <stdlib.h>
#include <windows.h>

char* ReadableAnsi(const char16_t* text, size_t length)
{
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text);
    const int units = length < INT_MAX ? static_cast<int>(length) : 0;
    // A size of 0 would ask the second call for the size again.
    const int size = units ? WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr) : 0;
    char* ansi = static_cast<char*>(malloc(size + 1));
    if (ansi)
        ansi[size ? WideCharToMultiByte(CP_ACP, 0, wide, units, ansi, size, nullptr, nullptr) : 0] = '\0';
    return ansi;
}
