#include "base/ui_language.h"

UiLanguage uiLanguage;

LANGID UiResourceLanguage()
{
    switch (uiLanguage) {
    case UI_LANGUAGE_RUSSIAN:
        return MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
    case UI_LANGUAGE_ENGLISH:
        return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    default:
        return 0;
    }
}

bool UiSpeaksRussian()
{
    if (uiLanguage != UI_LANGUAGE_AS_WINDOWS)
        return uiLanguage == UI_LANGUAGE_RUSSIAN;
    return PRIMARYLANGID(GetThreadUILanguage()) == LANG_RUSSIAN;
}
