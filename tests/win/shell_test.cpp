// The launcher's shell services: its own folder, target icons, and paths
// too long for the shell's buffers.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/shell_places.h"
#include "tests/win/support/launcher_run.h"

namespace {

TEST(ExeDirectoryTest, IsTheModulesFolderWithItsBackslash)
{
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    char folder[MAX_PATH];
    ExeDirectory(folder, MAX_PATH);
    std::string expected(module);
    expected.erase(expected.rfind('\\') + 1);
    EXPECT_EQ(folder, expected);
}

TEST(ExeDirectoryTest, AFolderThatDoesNotFitTheBufferGivesNone)
{
    char folder[MAX_PATH];
    ExeDirectory(folder, MAX_PATH);
    for (size_t room : {strlen(folder), strlen(folder) + 1}) {
        char small[MAX_PATH];
        memset(small, 'x', sizeof small);
        ExeDirectory(small, static_cast<int>(room));
        EXPECT_STREQ(small, room > strlen(folder) ? folder : "");
    }
}

TEST(PathBesideExeTest, JoinsOnlyWhatFits)
{
    char folder[MAX_PATH];
    ExeDirectory(folder, MAX_PATH);
    char path[MAX_PATH];
    ASSERT_TRUE(PathBesideExe("settings.dat", path, MAX_PATH));
    EXPECT_EQ(std::string(path), std::string(folder) + "settings.dat");

    int justShort = static_cast<int>(strlen(folder) + strlen("settings.dat"));
    EXPECT_FALSE(PathBesideExe("settings.dat", path, justShort));
    EXPECT_STREQ(path, "");
}

TEST(ExtractTargetIconTest, GivesTheIconAndLeavesThePathAlone)
{
    std::string target = BesideTestExe("recorder.exe");
    const std::string before = target;
    HICON icon = ExtractTargetIcon(target.c_str());
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(target, before);
    DestroyIcon(icon);
}

TEST(ExtractTargetIconTest, AbsentOrOverlongPathsGiveNone)
{
    EXPECT_EQ(ExtractTargetIcon(nullptr), nullptr);
    // Longer than the shell's 260-character buffer: never copied into it.
    std::string overlong = BesideTestExe("") + std::string(400, 'a') + ".exe";
    EXPECT_EQ(ExtractTargetIcon(overlong.c_str()), nullptr);
    std::string limit = BesideTestExe("") + std::string(MAX_PATH, 'b');
    limit.resize(MAX_PATH);
    EXPECT_EQ(ExtractTargetIcon(limit.c_str()), nullptr);
}

// Asks for the https: handler's path and name and a link's icon until told
// to stop, as the workers do.
struct SchemeAsker {
    volatile LONG stop;
    int asked, answered;
};

DWORD WINAPI AskUntilStopped(void* parameter)
{
    SchemeAsker* self = static_cast<SchemeAsker*>(parameter);
    while (!self->stop) {
        wchar_t program[MAX_PATH], name[MAX_PATH];
        ++self->asked;
        self->answered += AskScheme(L"https", SCHEME_PROGRAM, program, MAX_PATH) &&
                          AskScheme(L"https", SCHEME_NAME, name, MAX_PATH) && wcsstr(program, name);
        DestroyIcon(ShellPlaceIcon("https://example.org", nullptr, 96));
    }
    return 0;
}

// A link's handler and icon are asked on a worker while the ring saves: no
// handle the ring holds meanwhile may be closed under it.
TEST(AskSchemeTest, AnswersAndLeavesOtherThreadsFilesOpen)
{
    SchemeAsker asker = {0, 0, 0};
    HANDLE worker = CreateThread(nullptr, 0, AskUntilStopped, &asker, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    const std::string path = BesideTestExe("scheme_saves.tmp");
    int saves = 0, failed = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1500; ++saves) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        failed += !(file != INVALID_HANDLE_VALUE && WriteFile(file, "saved", 5, &written, nullptr) &&
                    FlushFileBuffers(file) && CloseHandle(file));
    }
    InterlockedExchange(&asker.stop, 1);
    WaitForSingleObject(worker, 5000);
    CloseHandle(worker);
    DeleteFileA(path.c_str());
    EXPECT_EQ(failed, 0) << "of " << saves << " saves beside " << asker.asked << " lookups";
    EXPECT_EQ(asker.answered, asker.asked) << "the browser that opens https: links, by its path and name";
}

} // namespace
