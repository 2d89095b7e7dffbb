// The user's guide as it ships: readable in Notepad anywhere, and naming
// every menu entry the program shows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Guide()
{
    std::ifstream file(ZRONDEL_README, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Well-formed UTF-8: every lead byte followed by the right number of
// continuation bytes, no overlong two-byte forms.
bool IsUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t extra = 9; // not a lead byte
        if (lead < 0x80)
            extra = 0;
        else if (lead >= 0xC2 && lead < 0xE0)
            extra = 1;
        else if (lead >= 0xE0 && lead < 0xF0)
            extra = 2;
        else if (lead >= 0xF0 && lead < 0xF5)
            extra = 3;
        if (extra == 9 || i + extra >= text.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

TEST(UserGuide, IsUtf8WithAByteOrderMarkAndCrlfLineEnds)
{
    const std::string guide = Guide();
    ASSERT_GT(guide.size(), 3u);
    EXPECT_EQ(guide.substr(0, 3), "\xEF\xBB\xBF"); // how Notepad tells UTF-8 from the ANSI code page
    EXPECT_TRUE(IsUtf8(guide));
    for (size_t i = 0; i < guide.size(); ++i) {
        if (guide[i] == '\n')
            ASSERT_TRUE(i > 0 && guide[i - 1] == '\r') << "bare line feed at byte " << i;
    }
}

TEST(UserGuide, NamesEveryMenuEntryAndWhereTheSettingsLive)
{
    const std::string guide = Guide();
    const char* mentions[] = {
        "О программе", "Автостарт", "Не прятать", "Выход", "Показать/Скрыть",   // main menu
        "Выбрать файл", "Рабочая папка", "Подсказка", "Очистить",                // button menu
        "Отмена", "Повторить", "Вырезать", "Копировать", "Вставить", "Удалить", "Выделить все",
        "settings.dat", "vcontrols.dll", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Ta[V]en Software [Z] Rondel", "HKEY_CURRENT_USER\\Software\\Ta[V]en Software\\[Z] Rondel", "Hotkey",
        "Win+Shift+Z", "Language", "Start with Windows", "ENGLISH", "ПО-РУССКИ"};
    for (const char* mention : mentions)
        EXPECT_NE(guide.find(mention), std::string::npos) << mention;
}

} // namespace
