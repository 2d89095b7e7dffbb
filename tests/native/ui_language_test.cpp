#include "base/ui_language.h"

#include <gtest/gtest.h>

namespace {

TEST(UiLanguageValue, ExactlyRuOrEnWithOrWithoutItsNulAndNothingElse)
{
    const struct {
        const char* bytes;
        size_t size;
        UiLanguage language;
    } cases[] = {{"ru", 3, UI_LANGUAGE_RUSSIAN},    {"ru", 2, UI_LANGUAGE_RUSSIAN},    {"en", 3, UI_LANGUAGE_ENGLISH},
                 {"en", 2, UI_LANGUAGE_ENGLISH},    {nullptr, 0, UI_LANGUAGE_AS_WINDOWS}, {"ru", 1, UI_LANGUAGE_AS_WINDOWS},
                 {"RU", 3, UI_LANGUAGE_AS_WINDOWS}, {"de", 3, UI_LANGUAGE_AS_WINDOWS}, {"ru\0\0", 4, UI_LANGUAGE_AS_WINDOWS},
                 {"enx", 3, UI_LANGUAGE_AS_WINDOWS}, {"en-US", 6, UI_LANGUAGE_AS_WINDOWS}};
    for (const auto& value : cases)
        EXPECT_EQ(UiLanguageFromValue(value.bytes, value.size), value.language) << value.size;
}

} // namespace
