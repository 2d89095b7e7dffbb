#include "base/ui_language.h"

#include <gtest/gtest.h>

namespace {

struct LanguageCase {
    const char* bytes;
    size_t size;
    UiLanguage language;
};

TEST(UiLanguageValue, ExactlyRuOrEnWithOrWithoutItsNulAndNothingElse)
{
    const LanguageCase cases[] = {
        {"ru", 3, UI_LANGUAGE_RUSSIAN},     {"ru", 2, UI_LANGUAGE_RUSSIAN},     {"en", 3, UI_LANGUAGE_ENGLISH},
        {"en", 2, UI_LANGUAGE_ENGLISH},     {nullptr, 0, UI_LANGUAGE_AS_WINDOWS}, {"", 1, UI_LANGUAGE_AS_WINDOWS},
        {"r", 1, UI_LANGUAGE_AS_WINDOWS},   {"ru", 1, UI_LANGUAGE_AS_WINDOWS},  {"RU", 3, UI_LANGUAGE_AS_WINDOWS},
        {"de", 3, UI_LANGUAGE_AS_WINDOWS},  {"rus", 4, UI_LANGUAGE_AS_WINDOWS}, {"ru\0\0", 4, UI_LANGUAGE_AS_WINDOWS},
        {"enx", 3, UI_LANGUAGE_AS_WINDOWS}, {"en-US", 6, UI_LANGUAGE_AS_WINDOWS}, {" en", 4, UI_LANGUAGE_AS_WINDOWS},
    };
    for (const LanguageCase& value : cases)
        EXPECT_EQ(UiLanguageFromValue(value.bytes, value.size), value.language)
            << (value.bytes ? value.bytes : "<no value>") << " of " << value.size << " bytes";
}

} // namespace
