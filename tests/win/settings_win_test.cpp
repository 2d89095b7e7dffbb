// The settings file with the Windows services behind it: file attributes,
// the replacing move and the message boxes.
#include "settings/file_on_disk.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "settings/settings_shim.h"
#include "tests/common/load_as_started.h"
#include "tests/native/settings_bytes.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/message_boxes.h"

namespace {

class SettingsOnWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "zrondel-settings-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        path_ = folder_ + "\\settings.dat";
        slots_ = AllocateSlotTable();
        launcherSettings = kSettingsStartValues;
    }
    void TearDown() override
    {
        FreeSlotTable(slots_);
        for (const char* name : {"\\settings.dat", "\\settings.dat.bak", "\\app.exe"})
            DeleteFileA((folder_ + name).c_str());
        if (!deepFolder_.empty()) {
            DeleteFileA((deepFolder_ + "\\settings.dat").c_str());
            RemoveDirectoryA(deepFolder_.c_str());
        }
        RemoveDirectoryA((folder_ + "\\Docs").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    void WriteFile(const std::string& path, const std::string& bytes)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    DWORD FileSize(const std::string& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            return 0xFFFFFFFF;
        return data.nFileSizeLow;
    }
    SettingsLoadResult Load(const std::string& bytes)
    {
        WriteFile(path_, bytes);
        FreeSlotTable(slots_);
        slots_ = AllocateSlotTable();
        return LoadAsStarted(path_.c_str(), slots_);
    }

    // The names in the folder, sorted and joined by blanks.
    static std::string FolderNames(const std::string& folder)
    {
        std::string names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if (found.cFileName[0] != '.')
                names += (names.empty() ? "" : " ") + std::string(found.cFileName);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return names;
    }

    std::string folder_;
    std::string deepFolder_; // a folder at the path length limit, when a test makes one
    std::string path_;
    LauncherSlot* slots_ = nullptr;
};

TEST_F(SettingsOnWindowsTest, SaveReplacesTheOldFileAndLeavesNoTemporary)
{
    WriteFile(path_, std::string(500, 'x'));
    ASSERT_TRUE(SaveSettings(path_.c_str(), slots_, SLOT_COUNT));
    EXPECT_EQ(FileSize(path_), 120u);
    ASSERT_TRUE(SaveSettings(path_.c_str(), slots_, SLOT_COUNT));
    EXPECT_EQ(FolderNames(folder_), "settings.dat");
}

TEST_F(SettingsOnWindowsTest, SaveSucceedsInAFolderAtThePathLengthLimit)
{
    // The longest settings path there is: 259 characters and the NUL.
    deepFolder_ = folder_ + "\\";
    deepFolder_ += std::string(MAX_PATH - 1 - deepFolder_.size() - strlen("\\settings.dat"), 'd');
    ASSERT_TRUE(CreateDirectoryA(deepFolder_.c_str(), nullptr));
    std::string deepPath = deepFolder_ + "\\settings.dat";
    ASSERT_EQ(deepPath.size(), static_cast<size_t>(MAX_PATH - 1));
    launcherSettings.windowLeft = 321;
    ASSERT_TRUE(SaveSettings(deepPath.c_str(), slots_, SLOT_COUNT));
    EXPECT_EQ(FileSize(deepPath), 120u);
    EXPECT_EQ(FolderNames(deepFolder_), "settings.dat");
    launcherSettings = kSettingsStartValues;
    EXPECT_EQ(LoadSettings(deepPath.c_str(), slots_, SLOT_COUNT), SETTINGS_LOADED);
    EXPECT_EQ(launcherSettings.windowLeft, 321);
}

TEST_F(SettingsOnWindowsTest, FilesAndFoldersCountAsPresentTargets)
{
    std::string app = folder_ + "\\app.exe", docs = folder_ + "\\Docs";
    WriteFile(app, "MZ");
    CreateDirectoryA(docs.c_str(), nullptr);
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(3).Entry(app, "", "", "").Entry(docs, "", "", "").Entry(folder_ + "\\gone.exe", "", "", "");
    bytes.Trailer(true, true, 0, 0);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_STREQ(slots_[0].hint, "app");
    EXPECT_STREQ(slots_[1].hint, "Docs");
    EXPECT_EQ(slots_[2].target, nullptr);
    EXPECT_STREQ(slots_[2].hint, kDefaultHint);
}

TEST_F(SettingsOnWindowsTest, AbsentDrivesAndSharesKeepTheirSlotsAndADeletedFileStillGoes)
{
    const std::string drive = UnmappedDrive();
    ASSERT_NE(drive, "") << "every drive letter has a volume in this prefix";
    const std::string stick = drive + "\\Tools\\stick.exe", share = "\\\\nohost\\share\\app.exe";
    const std::string deleted = folder_ + "\\gone.exe";
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(4).Entry(stick, "W", "E", "H").Entry(deleted, "W", "E", "H");
    bytes.Entry(share, "", "", "").Entry(drive + "\\other.exe", "", "", "");
    EXPECT_EQ(Load(bytes.Trailer(true, true, 0, 0).str()), SETTINGS_LOADED);
    EXPECT_EQ(std::string(slots_[0].target), stick);
    EXPECT_STREQ(slots_[0].workFolder, "W");
    EXPECT_EQ(slots_[1].target, nullptr);
    EXPECT_STREQ(slots_[1].hint, kDefaultHint);
    EXPECT_STREQ(slots_[2].hint, "app");
    EXPECT_STREQ(slots_[3].hint, "other");
    // What the icon step asks afterwards, answered from what loading found.
    EXPECT_TRUE(TargetPlaceWasAbsent(stick.c_str()));
    EXPECT_TRUE(TargetPlaceWasAbsent("\\\\NOHOST\\Share\\other.exe"));
    EXPECT_FALSE(TargetPlaceWasAbsent(deleted.c_str()));
}

TEST_F(SettingsOnWindowsTest, UnsupportedVersionShowsItsBoxOnce)
{
    MessageBoxAnswerer answerer(IDOK);
    EXPECT_EQ(Load(std::string("ZRondelV9\0rest", 14)), SETTINGS_NOT_VERSIONED);
    ASSERT_EQ(answerer.seen().size(), 1u);
    const SeenMessageBox& box = answerer.seen()[0];
    EXPECT_EQ(box.caption, "Check for program updates");
    EXPECT_EQ(box.text, "Version of setings not supported.\nProgram will clear settings");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_INFORMATION));
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(FileSize(path_ + ".bak"), FileSize(path_));
}

TEST_F(SettingsOnWindowsTest, DamagedFileShowsItsBoxAndKeepsACopy)
{
    MessageBoxAnswerer answerer(IDOK);
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(24).Int32(0);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_DAMAGED);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, kDamagedSettingsText);
    EXPECT_EQ(answerer.seen()[0].caption, "[Z]Rondel");
    EXPECT_EQ(FileSize(path_ + ".bak"), 18u);
}

} // namespace
