// The launcher's shell services: its own folder, target icons, and paths
// too long for the shell's buffers.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

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

} // namespace
