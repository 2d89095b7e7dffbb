#include "base/ui_language.h"

#include <string.h>

UiLanguage UiLanguageFromValue(const char* bytes, size_t size)
{
    // Two letters, and at most the NUL after them.
    if (!bytes || size < 2 || size > 3 || (size == 3 && bytes[2] != '\0'))
        return UI_LANGUAGE_AS_WINDOWS;
    if (memcmp(bytes, "ru", 2) == 0)
        return UI_LANGUAGE_RUSSIAN;
    if (memcmp(bytes, "en", 2) == 0)
        return UI_LANGUAGE_ENGLISH;
    return UI_LANGUAGE_AS_WINDOWS;
}
