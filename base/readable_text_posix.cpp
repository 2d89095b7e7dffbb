#include "base/readable_text.h"

#include <stdlib.h>

char* ReadableAnsi(const char16_t* text, size_t length)
{
    char* ansi = static_cast<char*>(malloc(length + 1));
    if (!ansi)
        return nullptr;
    size_t out = 0;
    for (size_t i = 0; i < length; ++i) {
        // A surrogate pair is one letter.
        if (text[i] >= 0xDC00 && text[i] < 0xE000 && i > 0 && text[i - 1] >= 0xD800 && text[i - 1] < 0xDC00)
            continue;
        ansi[out++] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    }
    ansi[out] = '\0';
    return ansi;
}
