// The companion library as start-up and shutdown use it: missing, lacking an
// entry point, present as a probe that logs its calls, and the shipped one
// beside the folder browser.
// Each case puts its own "vcontrols.dll" beside this test executable.
#include "app/helperlib.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>

#include "app/ringwnd.h"
#include "app/shell.h"
#include "base/slots.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/message_boxes.h"
#include "tests/win/support/modal_driver.h"

namespace {

void ExpectOneErrorBox(const MessageBoxAnswerer& answerer, DWORD code)
{
    ASSERT_EQ(answerer.seen().size(), 1u);
    const SeenMessageBox& box = answerer.seen()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_FALSE(box.text.empty());
    EXPECT_EQ(box.text, SystemErrorText(code));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.icon, LoadIcon(nullptr, IDI_INFORMATION));
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
}

class HelperLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveFiles(); }

    void TearDown() override
    {
        StopTestLauncher();
        RemoveFiles();
    }

    void RemoveFiles()
    {
        DeleteFileA(library_.c_str());
        DeleteFileA(log_.c_str());
        DeleteFileA(BesideTestExe("settings.dat").c_str());
    }

    void Install(const std::string& source) { ASSERT_TRUE(CopyFileA(source.c_str(), library_.c_str(), FALSE)) << source; }

    bool Mapped() { return GetModuleHandleA(library_.c_str()) != nullptr; }

    std::string Log() { return ReadWholeFile(log_); }

    const std::string library_ = BesideTestExe("vcontrols.dll");
    const std::string log_ = BesideTestExe("helper_probe.log");
};

TEST_F(HelperLibraryTest, MissingShowsOneErrorBoxAndTheLauncherWorksOn)
{
    MessageBoxAnswerer answerer;
    ASSERT_EQ(StartTestLauncher(), 0);
    ExpectOneErrorBox(answerer, ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(GetLastError(), 0u); // reported, then cleared

    ASSERT_TRUE(IsWindow(ringWindow.window));
    EXPECT_TRUE(IsWindowVisible(ringWindow.window));
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_SHOWHIDE, 0);
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
    EXPECT_EQ(StopTestLauncher(), 0);
    EXPECT_EQ(answerer.seen().size(), 1u); // nothing more at exit
}

TEST_F(HelperLibraryTest, WithoutReleaseItIsUnloadedAtOnceAndInitNeverRuns)
{
    Install(BesideTestExe("helper_probe_init_only.dll"));
    MessageBoxAnswerer answerer;
    ASSERT_EQ(StartTestLauncher(), 0);
    ExpectOneErrorBox(answerer, ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(Log(), "attach\ndetach\n");
    EXPECT_FALSE(Mapped());

    EXPECT_EQ(StopTestLauncher(), 0);
    EXPECT_EQ(Log(), "attach\ndetach\n"); // no Release for a library never kept
    EXPECT_EQ(answerer.seen().size(), 1u);
}

TEST_F(HelperLibraryTest, PresentItGetsInitOnceAtStartAndReleaseOnceAtExit)
{
    Install(BesideTestExe("helper_probe_full.dll"));
    MessageBoxAnswerer answerer;
    for (int run = 0; run < 2; ++run) {
        DeleteFileA(log_.c_str());
        ASSERT_EQ(StartTestLauncher(), 0);
        EXPECT_TRUE(answerer.seen().empty());
        EXPECT_EQ(Log(), "attach\nInit self\n") << "run " << run;
        EXPECT_TRUE(Mapped());
        LoadHelperLibrary(); // already loaded: nothing happens
        EXPECT_EQ(Log(), "attach\nInit self\n") << "run " << run;

        EXPECT_EQ(StopTestLauncher(), 0);
        EXPECT_EQ(Log(), "attach\nInit self\nRelease self\ndetach\n") << "run " << run;
        EXPECT_FALSE(Mapped());
        UnloadHelperLibrary(); // already released: nothing happens
        EXPECT_EQ(Log(), "attach\nInit self\nRelease self\ndetach\n") << "run " << run;
    }
}

// The folder browser joins a COM apartment for its own time only, so it
// works whether the library is there or not, and no start pays for COM.
TEST_F(HelperLibraryTest, TheFolderBrowserWorksWithAndWithoutTheShippedLibrary)
{
    for (bool shipped : {true, false}) {
        SCOPED_TRACE(shipped ? "shipped library" : "no library");
        if (shipped)
            Install(ShippedPath("vcontrols.dll"));
        {
            MessageBoxAnswerer answerer; // gone before the browser, which is a dialog box too
            ASSERT_EQ(StartTestLauncher(), 0);
            EXPECT_EQ(answerer.seen().size(), shipped ? 0u : 1u);
        }
        EXPECT_EQ(Mapped(), shipped);
        // Outside COM while the launcher runs: Init joined no apartment.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        CoUninitialize();

        wchar_t folder[MAX_PATH] = L"";
        {
            FolderBrowserAnswerer browser(CHOOSE_DESKTOP);
            EXPECT_TRUE(ChooseWorkFolder(ringWindow.window, "Folder", folder));
            EXPECT_TRUE(browser.opened());
            EXPECT_EQ(browser.title(), "Folder");
        }
        char ansi[MAX_PATH] = "";
        WideCharToMultiByte(CP_ACP, 0, folder, -1, ansi, MAX_PATH, nullptr, nullptr);
        EXPECT_EQ(std::string(ansi), DesktopFolder());
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); // left again
        CoUninitialize();

        EXPECT_EQ(StopTestLauncher(), 0);
        EXPECT_FALSE(Mapped());
        RemoveFiles();
    }
}

} // namespace
