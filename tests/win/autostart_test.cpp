// Starting at logon through the current user's real Run key: what the value
// holds, how its presence sets the menu's mark at start, what the menu
// command does to it, and that the machine-wide key is never touched.
#include "app/autostart.h"

#include <gtest/gtest.h>

#include <string>

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "base/slots.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/run_key.h"

namespace {

std::string OwnPathWithNul()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length) + '\0';
}

bool AutostartChecked()
{
    return (GetMenuState(launcher.mainMenu, IDM_AUTOSTART, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(settings_.c_str()); }

    void TearDown() override
    {
        StopTestLauncher();
        DeleteFileA(settings_.c_str());
        EXPECT_EQ(RunKeyContents(HKEY_LOCAL_MACHINE), machineWide_);
    }

    void ToggleFromTheMenu() { SendMessageA(ringWindow.window, WM_COMMAND, IDM_AUTOSTART, 0); }

    const std::string settings_ = BesideTestExe("settings.dat");
    const std::string machineWide_ = RunKeyContents(HKEY_LOCAL_MACHINE);
    LauncherRunValueGuard guard_;
};

TEST_F(AutostartTest, OnStoresThisExecutableAsAStringAndOffDeletesIt)
{
    ASSERT_EQ(OwnPathWithNul().find(' '), std::string::npos) << "this case wants a path without spaces";
    EXPECT_FALSE(IsAutostartEnabled());

    EXPECT_TRUE(SetAutostart(true));
    RegistryValue value = ReadLauncherRunValue();
    ASSERT_TRUE(value.exists);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.data, OwnPathWithNul()); // unquoted, the size counting the NUL
    EXPECT_TRUE(IsAutostartEnabled());

    EXPECT_TRUE(SetAutostart(true)); // on again rewrites the same bytes
    EXPECT_EQ(ReadLauncherRunValue().data, OwnPathWithNul());

    EXPECT_TRUE(SetAutostart(false));
    EXPECT_FALSE(ReadLauncherRunValue().exists);
    EXPECT_FALSE(IsAutostartEnabled());
    EXPECT_FALSE(SetAutostart(false)); // nothing left to delete
}

TEST_F(AutostartTest, AValueOfAnotherTypeCountsAsOnAndTheMenuReplacesIt)
{
    ASSERT_TRUE(WriteLauncherRunValue(REG_DWORD, std::string("\x07\x00\x00\x00", 4)));
    EXPECT_TRUE(IsAutostartEnabled());
    ASSERT_EQ(StartTestLauncher(), 0);
    EXPECT_TRUE(launcher.autostartEnabled);
    EXPECT_TRUE(AutostartChecked());

    ToggleFromTheMenu(); // off: the foreign value goes
    EXPECT_FALSE(ReadLauncherRunValue().exists);
    EXPECT_FALSE(launcher.autostartEnabled);
    EXPECT_FALSE(AutostartChecked());

    ToggleFromTheMenu(); // on: our own command as a string
    RegistryValue value = ReadLauncherRunValue();
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.data, OwnPathWithNul());
    EXPECT_TRUE(launcher.autostartEnabled);
    EXPECT_TRUE(AutostartChecked());

    EXPECT_FALSE(FileExists(settings_)); // the choice lives in the registry only
}

TEST_F(AutostartTest, AnotherCopysPathStillCountsAsOnUntilToggledOffAndOn)
{
    const std::string elsewhere("C:\\Old Place\\zrondel.exe", 25);
    ASSERT_TRUE(WriteLauncherRunValue(REG_SZ, elsewhere));
    ASSERT_EQ(StartTestLauncher(), 0);
    EXPECT_TRUE(AutostartChecked());
    EXPECT_EQ(ReadLauncherRunValue().data, elsewhere); // start-up only looks

    ToggleFromTheMenu();
    ToggleFromTheMenu();
    EXPECT_EQ(ReadLauncherRunValue().data, OwnPathWithNul());
    EXPECT_TRUE(AutostartChecked());
}

TEST_F(AutostartTest, WithoutTheValueTheMarkStartsOffAndFollowsEachClick)
{
    ASSERT_EQ(StartTestLauncher(), 0);
    EXPECT_FALSE(launcher.autostartEnabled);
    EXPECT_FALSE(AutostartChecked());
    for (int click = 1; click <= 4; ++click) {
        ToggleFromTheMenu();
        bool on = click % 2 == 1;
        EXPECT_EQ(AutostartChecked(), on) << "click " << click;
        EXPECT_EQ(ReadLauncherRunValue().exists, on) << "click " << click;
    }
}

} // namespace
