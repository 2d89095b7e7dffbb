// The language of the launcher's own menus and captions: Russian where the
// user's interface language is Russian, English everywhere else. Windows
// picks the menu resources by that language; the user's REG_SZ value
// "Language" ("ru" or "en") may choose either instead.
#ifndef ZRONDEL_BASE_UI_LANGUAGE_H
#define ZRONDEL_BASE_UI_LANGUAGE_H

#include <stddef.h>

enum UiLanguage {
    UI_LANGUAGE_AS_WINDOWS, // the user's interface language decides
    UI_LANGUAGE_RUSSIAN,
    UI_LANGUAGE_ENGLISH
};

// The language a "Language" value's bytes choose: exactly "ru" or "en", its
// terminating NUL stored or not. Anything else, null bytes (no value)
// included, leaves the choice to Windows.
UiLanguage UiLanguageFromValue(const char* bytes, size_t size);

#ifdef _WIN32
#include <windows.h>

// The user's choice, set once at start-up before any menu or caption is made.
extern UiLanguage uiLanguage;

// The language to look resources up in: 0, which lets Windows choose, or the
// user's choice.
LANGID UiResourceLanguage();
// True when the texts are to be Russian: chosen so, or else the interface
// language the resources are picked by is Russian.
bool UiSpeaksRussian();
#endif

#endif
