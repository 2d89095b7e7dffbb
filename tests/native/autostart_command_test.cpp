#include "app/autostart_command.h"

#include <gtest/gtest.h>

#include <wchar.h>

#include <string>

namespace {

TEST(AutostartCommand, APathWithoutSpacesStaysAsItIs)
{
    wchar_t command[300];
    ASSERT_TRUE(BuildAutostartCommand(L"C:\\Tools\\zrondel.exe", command, 300));
    EXPECT_STREQ(command, L"C:\\Tools\\zrondel.exe");
    // Letters outside any code page are kept as they are.
    ASSERT_TRUE(BuildAutostartCommand(L"D:\\\u30C4\u30FC\u30EB\\zrondel.exe", command, 300));
    EXPECT_STREQ(command, L"D:\\\u30C4\u30FC\u30EB\\zrondel.exe");
}

TEST(AutostartCommand, APathWithASpaceIsQuotedWhole)
{
    wchar_t command[300];
    ASSERT_TRUE(BuildAutostartCommand(L"C:\\Program Files\\Z Rondel\\zrondel.exe", command, 300));
    EXPECT_STREQ(command, L"\"C:\\Program Files\\Z Rondel\\zrondel.exe\"");
}

TEST(AutostartCommand, NeedsRoomForTheQuotesAndTheNul)
{
    const wchar_t path[] = L"C:\\A B\\z.exe"; // 12 characters, 15 quoted
    wchar_t command[16];
    wmemset(command, L'x', 16);
    EXPECT_FALSE(BuildAutostartCommand(path, command, 14));
    EXPECT_STREQ(command, L"");
    ASSERT_TRUE(BuildAutostartCommand(path, command, 15));
    EXPECT_EQ(std::wstring(command), std::wstring(L"\"") + path + L"\"");

    EXPECT_FALSE(BuildAutostartCommand(L"C:\\z.exe", command, 8)); // 8 characters, no room for the NUL
    EXPECT_TRUE(BuildAutostartCommand(L"C:\\z.exe", command, 9));
}

TEST(AutostartCommand, AnEmptyPathGivesNoCommand)
{
    wchar_t command[8] = L"x";
    EXPECT_FALSE(BuildAutostartCommand(L"", command, 8));
    EXPECT_STREQ(command, L"");
}

} // namespace
