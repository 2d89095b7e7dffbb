#include "base/target_kind.h"

#include "base/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct KindCase {
    const char* target;
    TargetKind kind;
};

const KindCase kKinds[] = {
    {"https://example.org/a?b=c", TARGET_LINK},
    {"mailto:someone@example.org", TARGET_LINK},
    {"ms-settings:display", TARGET_LINK},
    {"view-source+x.1:y", TARGET_LINK},
    {"file:///C:/Tools/app.exe", TARGET_LINK},
    {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", TARGET_SHELL_ITEM},
    {"::{21EC2020-3AEA-1069-A2DD-08002B30309D}\\::{7007ACC7-3202-11D1-AAD2-00805FC1270E}", TARGET_SHELL_ITEM},
    {"shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", TARGET_SHELL_ITEM},
    {"Shell:Downloads", TARGET_SHELL_ITEM},
    {"C:\\Tools\\app.exe", TARGET_FILE},
    {"c:\\", TARGET_FILE},
    {"C:app.exe", TARGET_FILE},
    {"\\\\server\\share\\app.exe", TARGET_FILE},
    {"\\\\?\\C:\\Tools\\app.exe", TARGET_FILE},
    // Texts that only look like one of the above.
    {"https//example.org", TARGET_FILE},
    {"1http://example.org", TARGET_FILE},
    {"-x:y", TARGET_FILE},
    {"a b:c", TARGET_FILE},
    {"http", TARGET_FILE},
    {":{20D04FE0-3AEA-1069-A2D8-08002B30309D}", TARGET_FILE},
    {":: {20D04FE0-3AEA-1069-A2D8-08002B30309D}", TARGET_FILE},
    {"shel:AppsFolder", TARGET_LINK},
    {"shell", TARGET_FILE},
    {"C:\\shell:x", TARGET_FILE},
    {"app.exe", TARGET_FILE},
    {"", TARGET_FILE},
};

TEST(KindOfTarget, TellsLinksAndShellPlacesFromPaths)
{
    for (const KindCase& c : kKinds)
        EXPECT_EQ(KindOfTarget(c.target), c.kind) << c.target;
}

// A link's handler, from the open command the registry keeps for its scheme.
TEST(CommandProgram, IsTheQuotedOrFirstWordUpToTheValuesEnd)
{
    const struct {
        std::u16string command;
        size_t length; // of the value as read; npos for all of it
        std::u16string program;
    } cases[] = {
        {u"\"C:\\Program Files\\App\\app.exe\" -url \"%1\"", std::u16string::npos, u"C:\\Program Files\\App\\app.exe"},
        {u"C:\\windows\\winebrowser.exe -nohome", std::u16string::npos, u"C:\\windows\\winebrowser.exe"},
        {u"   app.exe", std::u16string::npos, u"app.exe"},
        {u"\"C:\\No End", std::u16string::npos, u"C:\\No End"},
        {u"app.exe -x", 5, u"app.e"},
        {std::u16string(u"app\0.exe", 8), std::u16string::npos, u"app"},
        {u"\"\" app.exe", std::u16string::npos, u""},
        {u"  ", std::u16string::npos, u""},
        {u"", std::u16string::npos, u""},
    };
    for (const auto& c : cases) {
        size_t start = 99;
        const size_t length = CommandProgram(c.command.data(), c.length == std::u16string::npos ? c.command.size() : c.length, &start);
        EXPECT_EQ(c.command.substr(start, length), c.program) << std::string(c.command.begin(), c.command.end());
    }
}

} // namespace
