#include "app/autostart_command.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

TEST(AutostartCommand, APathWithoutSpacesStaysAsItIs)
{
    char command[300];
    ASSERT_TRUE(BuildAutostartCommand("C:\\Tools\\zrondel.exe", command, sizeof command));
    EXPECT_STREQ(command, "C:\\Tools\\zrondel.exe");
}

TEST(AutostartCommand, APathWithASpaceIsQuotedWhole)
{
    char command[300];
    ASSERT_TRUE(BuildAutostartCommand("C:\\Program Files\\Z Rondel\\zrondel.exe", command, sizeof command));
    EXPECT_STREQ(command, "\"C:\\Program Files\\Z Rondel\\zrondel.exe\"");
}

TEST(AutostartCommand, NeedsRoomForTheQuotesAndTheNul)
{
    const char path[] = "C:\\A B\\z.exe"; // 12 characters, 15 bytes quoted
    char command[16];
    memset(command, 'x', sizeof command);
    EXPECT_FALSE(BuildAutostartCommand(path, command, 14));
    EXPECT_STREQ(command, "");
    ASSERT_TRUE(BuildAutostartCommand(path, command, 15));
    EXPECT_EQ(std::string(command), std::string("\"") + path + "\"");

    EXPECT_FALSE(BuildAutostartCommand("C:\\z.exe", command, 8)); // 8 characters, no room for the NUL
    EXPECT_TRUE(BuildAutostartCommand("C:\\z.exe", command, 9));
}

TEST(AutostartCommand, AnEmptyPathGivesNoCommand)
{
    char command[8] = "x";
    EXPECT_FALSE(BuildAutostartCommand("", command, sizeof command));
    EXPECT_STREQ(command, "");
}

} // namespace
