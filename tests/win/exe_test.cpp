// The shipped executable, started as a person starts it: each test runs its
// own copy from a folder of its own, because the launcher keeps settings.dat
// beside itself.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>

#include "tests/native/settings_bytes.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/message_boxes.h"
#include "tests/win/support/run_key.h"

namespace {

const char kRingClass[] = "ZR_Main_Window_Class";
const char kRingTitle[] = "Ta[V]en Software [Z] Rondel";
const WPARAM kShowHideCommand = 40001;
const WPARAM kAutostartCommand = 40004;

// A fresh folder below the test's own, holding a copy of the launcher.
std::string PrepareFolder(const std::string& name)
{
    std::string folder = BesideTestExe("runs");
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\settings.dat").c_str());
    EXPECT_TRUE(CopyFileA(ShippedLauncherPath().c_str(), (folder + "\\zrondel.exe").c_str(), FALSE))
        << ShippedLauncherPath();
    // As shipped: without its companion library the launcher would stop at an error box.
    EXPECT_TRUE(CopyFileA(ShippedPath("vcontrols.dll").c_str(), (folder + "\\vcontrols.dll").c_str(), FALSE));
    return folder;
}

// The exit code, or STILL_ACTIVE after 10 s.
DWORD AwaitExit(HANDLE process)
{
    WaitForSingleObject(process, 10000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

// The running launcher's ring window, once it is there and idle.
HWND AwaitRing(HANDLE process)
{
    WaitForInputIdle(process, 10000);
    for (int waited = 0; waited < 10000; waited += 20) {
        HWND ring = FindWindowA(kRingClass, kRingTitle);
        if (ring)
            return ring;
        Sleep(20);
    }
    return nullptr;
}

// The process's message box captioned "Error", once it is there; null
// after `wait` ms.
HWND AwaitErrorBox(HANDLE process, int wait)
{
    for (int waited = 0; waited <= wait; waited += 20) {
        HWND box = FindWindowA("#32770", "Error");
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (box && owner == GetProcessId(process))
            return box;
        Sleep(20);
    }
    return nullptr;
}

class LauncherExeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // A launcher a failed test left running is closed, so that the next
        // test starts with none.
        HWND ring = FindWindowA(kRingClass, kRingTitle);
        if (ring)
            PostMessageA(ring, WM_CLOSE, 0, 0);
        if (process_) {
            AwaitExit(process_);
            CloseHandle(process_);
        }
    }
    HANDLE process_ = nullptr;
};

TEST_F(LauncherExeTest, FirstStartShowsTheRingAndASecondStartEndsWithMinusNineteen)
{
    std::string folder = PrepareFolder("first");
    process_ = StartProgram(folder + "\\zrondel.exe");
    ASSERT_NE(process_, nullptr);
    HWND ring = AwaitRing(process_);
    ASSERT_NE(ring, nullptr);
    EXPECT_TRUE(IsWindowVisible(ring));
    RECT bounds;
    GetWindowRect(ring, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right - bounds.left, 200);

    ShowWindow(ring, SW_HIDE);
    HANDLE second = StartProgram(folder + "\\zrondel.exe");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(static_cast<int>(AwaitExit(second)), -19);
    CloseHandle(second);
    EXPECT_TRUE(IsWindowVisible(ring)); // shown by the second start
    EXPECT_FALSE(FileExists(folder + "\\settings.dat"));

    // Closing ends the process with 0 and writes the 24 empty slots.
    PostMessageA(ring, WM_CLOSE, 0, 0);
    EXPECT_EQ(AwaitExit(process_), 0u);
    EXPECT_EQ(ReadWholeFile(folder + "\\settings.dat").size(), 120u);

    // A launcher run with other rights (elevated) holds the mutex where this
    // start may not open it: that is a running launcher too.
    SECURITY_ATTRIBUTES closed = {sizeof closed, nullptr, FALSE}; // "D:", an empty list: nobody gets in
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:", SDDL_REVISION_1, &closed.lpSecurityDescriptor, nullptr);
    HANDLE elevated = CreateMutexA(&closed, TRUE, "Ta[V]en Software [Z] Rondel");
    second = StartProgram(folder + "\\zrondel.exe");
    EXPECT_EQ(static_cast<int>(AwaitExit(second)), -19);
    CloseHandle(second);
    CloseHandle(elevated);
    LocalFree(closed.lpSecurityDescriptor);
}

TEST_F(LauncherExeTest, AVersionTwoFileStartsHidden)
{
    std::string folder = PrepareFolder("version2");
    ASSERT_TRUE(WriteWholeFile(folder + "\\settings.dat", SettingsBytes().Magic("ZRondelV2").Int32(0).str()));
    process_ = StartProgram(folder + "\\zrondel.exe");
    ASSERT_NE(process_, nullptr);
    HWND ring = AwaitRing(process_);
    ASSERT_NE(ring, nullptr);
    EXPECT_FALSE(IsWindowVisible(ring));
    PostMessageA(ring, WM_CLOSE, 0, 0);
    EXPECT_EQ(AwaitExit(process_), 0u);
    // Rewritten as the current version, still hidden at the origin.
    std::string bytes = ReadWholeFile(folder + "\\settings.dat");
    ASSERT_EQ(bytes.size(), 120u);
    EXPECT_EQ(bytes.substr(0, 9), "ZRondelV3");
    EXPECT_EQ(bytes.substr(110), std::string("\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00", 10));
}

TEST_F(LauncherExeTest, AFolderTooLongForTheSettingsOrTheLibraryByItsNameKeepsThemAll)
{
    // With "settings.dat" (or "vcontrols.dll") the folder's own name does
    // not fit in 260 characters: the settings go by its short name, the
    // library is loaded by its whole one, and nothing is reported.
    for (size_t length : {247u, 246u}) {
        SCOPED_TRACE(length);
        std::string base = BesideTestExe("runs");
        CreateDirectoryA(base.c_str(), nullptr);
        std::string folder = base + "\\";
        folder += std::string(length - folder.size(), length == 247 ? 'd' : 'v');
        CreateDirectoryA(folder.c_str(), nullptr);
        char shortFolder[MAX_PATH] = "";
        ASSERT_TRUE(GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH));
        const std::string settings = std::string(shortFolder) + "\\settings.dat";
        DeleteFileA(settings.c_str());
        for (const char* file : {"zrondel.exe", "vcontrols.dll"})
            ASSERT_TRUE(CopyFileA(ShippedPath(file).c_str(), (folder + "\\" + file).c_str(), FALSE));
        process_ = StartProgram(folder + "\\zrondel.exe");
        ASSERT_NE(process_, nullptr);
        HWND ring = AwaitRing(process_);
        ASSERT_NE(ring, nullptr);
        EXPECT_EQ(AwaitErrorBox(process_, 1000), nullptr);
        PostMessageA(ring, WM_CLOSE, 0, 0);
        EXPECT_EQ(AwaitExit(process_), 0u);
        CloseHandle(process_);
        process_ = nullptr;
        EXPECT_EQ(ReadWholeFile(settings).size(), 120u);
    }
}

TEST_F(LauncherExeTest, AutostartFromAFolderWithASpaceStoresTheQuotedPath)
{
    LauncherRunValueGuard guard;
    const std::string machineWide = RunKeyContents(HKEY_LOCAL_MACHINE);
    std::string folder = PrepareFolder("with space");
    process_ = StartProgram(folder + "\\zrondel.exe");
    ASSERT_NE(process_, nullptr);
    HWND ring = AwaitRing(process_);
    ASSERT_NE(ring, nullptr);

    SendMessageA(ring, WM_COMMAND, kAutostartCommand, 0);
    RegistryValue value = ReadLauncherRunValue();
    ASSERT_TRUE(value.exists);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    // Unquoted, Windows would look for a program named "...\with" and pass it the rest.
    EXPECT_EQ(value.data, "\"" + folder + "\\zrondel.exe\"" + std::string(1, '\0'));

    SendMessageA(ring, WM_COMMAND, kAutostartCommand, 0);
    EXPECT_FALSE(ReadLauncherRunValue().exists);
    EXPECT_EQ(RunKeyContents(HKEY_LOCAL_MACHINE), machineWide);
    PostMessageA(ring, WM_CLOSE, 0, 0);
    EXPECT_EQ(AwaitExit(process_), 0u);
}

} // namespace
