#include "settings/settings.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <dirent.h>
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_shim.h"
#include "settings/store.h"
#include "tests/native/settings_bytes.h"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zrondel-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/settings.dat";
        slots_ = AllocateSlotTable();
        launcherSettings = kSettingsStartValues;
        settingsMessageCount = 0;
        lastSettingsMessageText = nullptr;
        lastSettingsMessageCaption = nullptr;
        settingsOpenFailures = 0;
        settingsPausedMilliseconds = 0;
    }
    void TearDown() override
    {
        FreeSlotTable(slots_);
        launcherSettings = kSettingsStartValues;
        std::string command = "rm -rf '" + folder_ + "'";
        ASSERT_EQ(system(command.c_str()), 0);
    }

    // A real file in the test folder. Its name holds backslashes, so that the
    // default hint, which takes what follows the last backslash, is "app".
    std::string MakeTarget(const std::string& name = "T\\app.exe")
    {
        std::string target = folder_ + "/" + name;
        std::ofstream(target) << "target";
        return target;
    }
    std::string MakeFolderTarget(const std::string& name)
    {
        std::string target = folder_ + "/" + name;
        EXPECT_EQ(mkdir(target.c_str(), 0700), 0);
        return target;
    }
    static void WriteFile(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream stream(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << stream.rdbuf();
        return bytes.str();
    }
    static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
    // The names in the test folder, sorted and joined by blanks.
    std::string FolderNames() const
    {
        std::string names;
        DIR* folder = opendir(folder_.c_str());
        std::vector<std::string> found;
        while (dirent* entry = folder ? readdir(folder) : nullptr)
            if (entry->d_name[0] != '.')
                found.push_back(entry->d_name);
        if (folder)
            closedir(folder);
        std::sort(found.begin(), found.end());
        for (const std::string& name : found)
            names += (names.empty() ? "" : " ") + name;
        return names;
    }

    // Reads the file into a fresh table with the start values, as start-up does.
    SettingsLoadResult LoadFresh()
    {
        FreeSlotTable(slots_);
        slots_ = AllocateSlotTable();
        launcherSettings = kSettingsStartValues;
        return LoadSettings(path_.c_str(), slots_, SLOT_COUNT);
    }
    SettingsLoadResult Load(const std::string& bytes)
    {
        WriteFile(path_, bytes);
        return LoadFresh();
    }
    bool Save() { return SaveSettings(path_.c_str(), slots_, SLOT_COUNT); }
    void ReloadIntoFreshTable() { EXPECT_EQ(LoadFresh(), SETTINGS_LOADED); }
    static SettingsBytes EmptyEntries(SettingsBytes bytes, int count)
    {
        for (int i = 0; i < count; ++i)
            bytes.Int32(0);
        return bytes;
    }

    std::string folder_;
    std::string path_;
    LauncherSlot* slots_ = nullptr;
};

// --- writing -------------------------------------------------------------

TEST_F(SettingsFileTest, EmptyTableIs120Bytes)
{
    ASSERT_TRUE(Save());
    SettingsBytes expected;
    expected.Magic("ZRondelV3").Int32(24);
    expected = EmptyEntries(expected, 24);
    expected.Trailer(true, false, 0, 0);
    EXPECT_EQ(ReadFile(path_).size(), 120u);
    EXPECT_EQ(ReadFile(path_), expected.str());
}

TEST_F(SettingsFileTest, SlotWithTargetAndOneLetterHintIs27Bytes)
{
    slots_[0].target = CopyText("C:\\a.exe");
    slots_[0].hint = CopyText("a");
    ASSERT_TRUE(Save());
    SettingsBytes entry;
    entry.Text("C:\\a.exe").Int32(0).Int32(0).Text("a");
    ASSERT_EQ(entry.str().size(), 27u);
    SettingsBytes expected;
    expected.Magic("ZRondelV3").Int32(24).Raw(entry.str());
    expected = EmptyEntries(expected, 23);
    expected.Trailer(true, false, 0, 0);
    EXPECT_EQ(ReadFile(path_), expected.str());
}

TEST_F(SettingsFileTest, EmptySlotIsOneZeroWhateverItStillHolds)
{
    slots_[5].hint = CopyText("left over");
    slots_[5].workFolder = CopyText("C:\\w");
    slots_[5].extra = CopyText("x");
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFile(path_).size(), 120u);
    ReloadIntoFreshTable();
    EXPECT_STREQ(slots_[5].hint, kDefaultHint);
    EXPECT_EQ(slots_[5].workFolder, nullptr);
    EXPECT_EQ(slots_[5].extra, nullptr);
}

TEST_F(SettingsFileTest, TrailerCarriesTheProgramWideValues)
{
    launcherSettings = {false, true, -7, 1234567};
    ASSERT_TRUE(Save());
    std::string bytes = ReadFile(path_);
    EXPECT_EQ(bytes.substr(bytes.size() - 10), SettingsBytes().Trailer(false, true, -7, 1234567).str());
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryStoredText)
{
    std::string app = MakeTarget();
    std::string folder = MakeFolderTarget("Docs");
    slots_[0].target = CopyText(app.c_str());
    slots_[0].workFolder = CopyText("C:\\Work");
    slots_[0].extra = CopyText("extra text");
    slots_[0].hint = CopyText("My app");
    slots_[23].target = CopyText(folder.c_str());
    slots_[23].hint = CopyText("Docs");
    launcherSettings = {false, true, 300, -20};
    ASSERT_TRUE(Save());

    ReloadIntoFreshTable();
    EXPECT_EQ(std::string(slots_[0].target), app);
    EXPECT_STREQ(slots_[0].workFolder, "C:\\Work");
    EXPECT_STREQ(slots_[0].extra, "extra text");
    EXPECT_STREQ(slots_[0].hint, "My app");
    EXPECT_EQ(std::string(slots_[23].target), folder); // a folder counts as present
    EXPECT_EQ(slots_[23].workFolder, nullptr);
    for (int i = 1; i < 23; ++i) {
        EXPECT_EQ(slots_[i].target, nullptr);
        EXPECT_STREQ(slots_[i].hint, kDefaultHint);
    }
    EXPECT_FALSE(launcherSettings.hideAfterLaunch);
    EXPECT_TRUE(launcherSettings.showAtStart);
    EXPECT_EQ(launcherSettings.windowLeft, 300);
    EXPECT_EQ(launcherSettings.windowTop, -20);
    EXPECT_EQ(settingsMessageCount, 0);
    EXPECT_FALSE(Exists(path_ + ".bak"));
}

// --- reading -------------------------------------------------------------

TEST_F(SettingsFileTest, DeletedFourthTargetLoadsEmptyAndTheRestAsSaved)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(24);
    for (int i = 0; i < 24; ++i) {
        if (i == 3)
            bytes.Entry(folder_ + "/gone.exe", "C:\\gone", "gone extra", "gone hint");
        else
            bytes.Entry(app, "W" + std::to_string(i), "", "hint " + std::to_string(i));
    }
    bytes.Trailer(false, true, 11, 22);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);

    EXPECT_EQ(slots_[3].target, nullptr);
    EXPECT_EQ(slots_[3].workFolder, nullptr);
    EXPECT_EQ(slots_[3].extra, nullptr);
    EXPECT_STREQ(slots_[3].hint, kDefaultHint);
    for (int i = 4; i < 24; ++i) {
        ASSERT_NE(slots_[i].target, nullptr) << "slot " << i;
        EXPECT_EQ(std::string(slots_[i].workFolder), "W" + std::to_string(i));
        EXPECT_EQ(slots_[i].extra, nullptr);
        EXPECT_EQ(std::string(slots_[i].hint), "hint " + std::to_string(i));
    }
    EXPECT_FALSE(launcherSettings.hideAfterLaunch);
    EXPECT_TRUE(launcherSettings.showAtStart);
    EXPECT_EQ(launcherSettings.windowLeft, 11);
    EXPECT_EQ(launcherSettings.windowTop, 22);
}

TEST_F(SettingsFileTest, StoredHintOfLengthZeroIsDerivedFromTheTarget)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(2).Entry(app, "", "", "").Entry(app, "", "", "abcde");
    bytes.Trailer(true, true, 0, 0);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_STREQ(slots_[0].hint, "app");
    EXPECT_STREQ(slots_[1].hint, "abcde");
    EXPECT_EQ(slots_[2].hint, nullptr); // not in the file: untouched
}

TEST_F(SettingsFileTest, VersionTwoLoadsSlotsAndLeavesTheWindowHiddenAtOrigin)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV2").Int32(24).Entry(app, "C:\\w", "e", "h");
    bytes = EmptyEntries(bytes, 23);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_EQ(std::string(slots_[0].target), app);
    EXPECT_STREQ(slots_[0].workFolder, "C:\\w");
    EXPECT_STREQ(slots_[0].extra, "e");
    EXPECT_STREQ(slots_[0].hint, "h");
    EXPECT_FALSE(launcherSettings.showAtStart);
    EXPECT_TRUE(launcherSettings.hideAfterLaunch);
    EXPECT_EQ(launcherSettings.windowLeft, 0);
    EXPECT_EQ(launcherSettings.windowTop, 0);
}

TEST_F(SettingsFileTest, VersionTwoSkipsTheTextsOfAMissingTarget)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV2").Int32(2).Entry(folder_ + "/gone", "w", "x", "h").Entry(app, "", "", "");
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_STREQ(slots_[0].hint, kDefaultHint);
    EXPECT_EQ(std::string(slots_[1].target), app);
}

TEST_F(SettingsFileTest, VersionOneHintsDependOnTheTarget)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV1").Int32(3).Text(app).Text(folder_ + "/gone.exe").Int32(0);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_EQ(std::string(slots_[0].target), app);
    EXPECT_STREQ(slots_[0].hint, "app");
    EXPECT_EQ(slots_[1].target, nullptr);
    EXPECT_EQ(slots_[1].hint, nullptr); // a vanished target leaves no hint in version 1
    EXPECT_STREQ(slots_[2].hint, kDefaultHint);
    EXPECT_FALSE(launcherSettings.showAtStart);
}

// Natively a first folder that does not exist stands for a drive that is
// not there: its targets keep their slots in every version, as stored, and
// are saved back unchanged; a deleted file on a present drive still goes.
TEST_F(SettingsFileTest, TargetsOnAnAbsentDriveKeepTheirSlotsInEveryVersion)
{
    const std::string absent = "/zrondel-absent-drive/T\\app.exe";
    ASSERT_FALSE(Exists("/zrondel-absent-drive"));
    const std::string deleted = folder_ + "/gone.exe";
    SettingsBytes v1, v2, v3;
    v1.Magic("ZRondelV1").Int32(3).Text(absent).Text(absent).Text(deleted);
    for (SettingsBytes* file : {&v2, &v3}) {
        file->Magic(file == &v2 ? "ZRondelV2" : "ZRondelV3").Int32(3);
        file->Entry(absent, "W", "E", "H").Entry(absent, "", "", "").Entry(deleted, "W", "E", "H");
    }
    v3.Trailer(false, true, 1, 2);
    for (const SettingsBytes* file : {&v1, &v2, &v3}) {
        const bool one = file == &v1;
        SCOPED_TRACE(one ? "version 1" : file == &v2 ? "version 2" : "version 3");
        EXPECT_EQ(Load(file->str()), SETTINGS_LOADED);
        EXPECT_EQ(std::string(slots_[0].target), absent);
        EXPECT_STREQ(slots_[0].workFolder, one ? nullptr : "W");
        EXPECT_STREQ(slots_[0].extra, one ? nullptr : "E");
        EXPECT_STREQ(slots_[0].hint, one ? "app" : "H");
        EXPECT_EQ(std::string(slots_[1].target), absent);
        EXPECT_STREQ(slots_[1].hint, "app");
        EXPECT_EQ(slots_[2].target, nullptr);
        EXPECT_EQ(slots_[2].workFolder, nullptr);
        EXPECT_STREQ(slots_[2].hint, one ? nullptr : kDefaultHint);
    }
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFile(path_),
              SettingsFileWith({{0, absent, "W", "E", "H"}, {1, absent, "", "", "app"}}, false, true, 1, 2));
}

TEST_F(SettingsFileTest, TenthMagicByteIsIgnored)
{
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3", 'x').Int32(1).Int32(0).Trailer(false, true, 5, 6);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_STREQ(slots_[0].hint, kDefaultHint);
    EXPECT_EQ(launcherSettings.windowLeft, 5);
    EXPECT_EQ(settingsMessageCount, 0);
}

TEST_F(SettingsFileTest, BytesLeftOverAreNoDamageButAreKeptQuietly)
{
    // A count of 30: 24 entries are read, the trailer from the bytes after
    // the 24th, and the rest would be dropped by the next save.
    SettingsBytes counted;
    counted.Magic("ZRondelV3").Int32(30);
    counted = EmptyEntries(counted, 24).Trailer(false, true, 7, 8);
    counted = EmptyEntries(counted, 6);
    SettingsBytes trailing;
    trailing.Magic("ZRondelV3").Int32(0).Trailer(true, true, 0, 0).Raw("junk");
    for (const SettingsBytes* bytes : {&counted, &trailing}) {
        EXPECT_EQ(Load(bytes->str()), SETTINGS_LOADED);
        EXPECT_EQ(ReadFile(path_ + ".bak"), bytes->str());
        EXPECT_TRUE(launcherSettings.showAtStart);
    }
    EXPECT_EQ(settingsMessageCount, 0);
    for (int i = 0; i < SLOT_COUNT; ++i)
        EXPECT_EQ(slots_[i].hint, nullptr);
    ASSERT_EQ(Load(counted.str()), SETTINGS_LOADED);
    EXPECT_STREQ(slots_[23].hint, kDefaultHint);
    EXPECT_EQ(launcherSettings.windowLeft, 7);
}

TEST_F(SettingsFileTest, NegativeCountReadsNoEntries)
{
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(-3).Trailer(false, false, 9, 9);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    for (int i = 0; i < SLOT_COUNT; ++i)
        EXPECT_EQ(slots_[i].hint, nullptr);
    EXPECT_EQ(launcherSettings.windowTop, 9);
}

TEST_F(SettingsFileTest, UnsupportedVersionIsReportedKeptAndNotRead)
{
    SettingsBytes bytes;
    bytes.Magic("ZRondelV4").Int32(1).Int32(0).Trailer(false, true, 1, 1);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_NOT_VERSIONED);
    EXPECT_EQ(settingsMessageCount, 1);
    EXPECT_STREQ(lastSettingsMessageText,
                 "Version of setings not supported.\nProgram will clear settings");
    EXPECT_STREQ(lastSettingsMessageCaption, "Check for program updates");
    EXPECT_EQ(slots_[0].hint, nullptr);
    EXPECT_FALSE(launcherSettings.showAtStart);
    EXPECT_EQ(ReadFile(path_ + ".bak"), bytes.str());
    // The next save clears it, as the message announces; the copy stays.
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFile(path_).size(), 120u);
    EXPECT_EQ(ReadFile(path_ + ".bak"), bytes.str());
}

TEST_F(SettingsFileTest, FileShorterThanItsMagicIsAnUnsupportedVersion)
{
    EXPECT_EQ(Load("ZRond"), SETTINGS_NOT_VERSIONED);
    EXPECT_EQ(Load(""), SETTINGS_NOT_VERSIONED);
    EXPECT_EQ(settingsMessageCount, 2);
    EXPECT_STREQ(lastSettingsMessageCaption, "Check for program updates");
}

TEST_F(SettingsFileTest, MissingFileIsUnreadableAndLeavesNoCopy)
{
    EXPECT_EQ(LoadFresh(), SETTINGS_UNREADABLE);
    EXPECT_FALSE(Exists(path_ + ".bak"));
    EXPECT_EQ(settingsMessageCount, 0);
}

// --- damaged files -------------------------------------------------------

TEST_F(SettingsFileTest, EveryTruncationIsReportedKeptAndLoadsWhatIsWhole)
{
    std::string app = MakeTarget();
    SettingsBytes whole;
    whole.Magic("ZRondelV3").Int32(24).Entry(app, "C:\\w", "x", "first").Entry(app, "", "", "second");
    whole = EmptyEntries(whole, 22);
    whole.Trailer(false, true, 10, 20);
    const std::string bytes = whole.str();
    const size_t firstEntryEnd = 14 + SettingsBytes().Entry(app, "C:\\w", "x", "first").str().size();

    for (size_t size = 10; size < bytes.size(); ++size) {
        SCOPED_TRACE("cut at " + std::to_string(size));
        settingsMessageCount = 0;
        EXPECT_EQ(Load(bytes.substr(0, size)), SETTINGS_DAMAGED);
        EXPECT_EQ(settingsMessageCount, 1);
        EXPECT_STREQ(lastSettingsMessageText, kDamagedSettingsText);
        EXPECT_EQ(ReadFile(path_ + ".bak"), bytes.substr(0, size));
        if (size >= firstEntryEnd)
            EXPECT_STREQ(slots_[0].hint, "first");
        // The flags are taken only once the file really holds them.
        if (size < bytes.size() - 8)
            EXPECT_FALSE(launcherSettings.showAtStart);
    }
}

TEST_F(SettingsFileTest, HugeLengthAllocatesNothingBeyondTheFile)
{
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(24).Int32(0x7FFFFFFF).Raw("short");
    EXPECT_EQ(Load(bytes.str()), SETTINGS_DAMAGED);
    EXPECT_EQ(slots_[0].target, nullptr);
    EXPECT_EQ(slots_[0].hint, nullptr);
}

TEST_F(SettingsFileTest, TextWithoutItsZeroIsNotTaken)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV2").Int32(1).Int32(static_cast<int32_t>(app.size())).Raw(app + "X");
    EXPECT_EQ(Load(bytes.str()), SETTINGS_DAMAGED);
    EXPECT_EQ(slots_[0].target, nullptr);
}

TEST_F(SettingsFileTest, TextWithAZeroInsideEndsThere)
{
    std::string app = MakeTarget();
    SettingsBytes bytes;
    bytes.Magic("ZRondelV2").Int32(1).Text(app).Int32(0).Int32(0).Int32(3).Raw(std::string("hi\0\0", 4));
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    EXPECT_STREQ(slots_[0].hint, "hi");
    EXPECT_EQ(settingsMessageCount, 0);
    EXPECT_FALSE(Exists(path_ + ".bak"));
}

TEST_F(SettingsFileTest, SoundFileOfEveryVersionNeverMakesACopy)
{
    SettingsBytes v1, v2, v3;
    v1.Magic("ZRondelV1").Int32(1).Int32(0);
    v2.Magic("ZRondelV2").Int32(1).Int32(0);
    v3.Magic("ZRondelV3").Int32(1).Int32(0).Trailer(true, true, 0, 0);
    for (const SettingsBytes* bytes : {&v1, &v2, &v3})
        EXPECT_EQ(Load(bytes->str()), SETTINGS_LOADED);
    EXPECT_FALSE(Exists(path_ + ".bak"));
    EXPECT_EQ(settingsMessageCount, 0);
}

// --- failing saves -------------------------------------------------------

TEST_F(SettingsFileTest, SaveThatFailsMidWriteKeepsTheOldFile)
{
    slots_[0].target = CopyText("C:\\old.exe");
    ASSERT_TRUE(Save());
    const std::string old = ReadFile(path_);

    for (int i = 0; i < SLOT_COUNT; ++i)
        ReplaceText(&slots_[i].target, "C:\\a much longer target path than before.exe");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The disk "fills up" 64 bytes into the new file.
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(Save() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed save was reported as a success";
    EXPECT_EQ(ReadFile(path_), old);
    EXPECT_EQ(FolderNames(), "settings.dat"); // the half-written new file is gone
}

TEST_F(SettingsFileTest, SaveIntoAMissingFolderFails)
{
    std::string path = folder_ + "/missing/settings.dat";
    EXPECT_FALSE(SaveSettings(path.c_str(), slots_, SLOT_COUNT));
}

TEST_F(SettingsFileTest, SaveLeavesNoTemporaryFile)
{
    ASSERT_TRUE(Save());
    ASSERT_TRUE(Save());
    EXPECT_EQ(FolderNames(), "settings.dat");
}

TEST_F(SettingsFileTest, TakenTemporaryNamesArePassedOverAndNeverTouched)
{
    // A folder where the new file would go first, and somebody's file where
    // it would go next.
    ASSERT_EQ(mkdir((folder_ + "/settings.da~").c_str(), 0700), 0);
    WriteFile(folder_ + "/settings.da_", "somebody's");
    slots_[0].target = CopyText("C:\\app.exe");
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFile(folder_ + "/settings.da_"), "somebody's");
    EXPECT_EQ(FolderNames(), "settings.da_ settings.dat settings.da~");
    ReloadIntoFreshTable();
    EXPECT_EQ(slots_[0].target, nullptr); // read back: C:\app.exe is no file here
    EXPECT_STREQ(slots_[0].hint, kDefaultHint);
}

// --- the store: a file held by another program ---------------------------

class SettingsStoreTest : public SettingsFileTest {
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        ASSERT_TRUE(OpenSettingsStore(path_.c_str(), slots_));
    }
    void TearDown() override
    {
        CloseSettingsStore();
        SettingsFileTest::TearDown();
    }
};

TEST_F(SettingsStoreTest, AShortHoldIsWaitedOutAndTheFileLoads)
{
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(0).Trailer(false, false, 40, 50);
    WriteFile(path_, bytes.str());
    settingsOpenFailures = 5;
    LoadStoredSettings();
    EXPECT_EQ(settingsPausedMilliseconds, 500);
    EXPECT_EQ(launcherSettings.windowLeft, 40);
    EXPECT_EQ(settingsMessageCount, 0);
    EXPECT_TRUE(SaveLauncherSettings());
}

TEST_F(SettingsStoreTest, AFileThatStaysUnreadableIsReportedAndKeptBeforeAnySave)
{
    const std::string users = SettingsFileWith({{0, "C:\\users.exe", "", "", "theirs"}});
    WriteFile(path_, users);
    settingsOpenFailures = 1000;
    LoadStoredSettings();
    EXPECT_GE(settingsPausedMilliseconds, 1900);
    EXPECT_LE(settingsPausedMilliseconds, 2100);
    ASSERT_EQ(settingsMessageCount, 1);
    EXPECT_EQ(std::string(lastSettingsMessageText), std::string(kUnreadableSettingsText) + "\n" + path_ + "\n\n" +
                                                        strerror(EBUSY) + "\n" + kUnreadableSettingsKeptText);
    EXPECT_FALSE(launcherSettings.showAtStart);

    // While the file cannot even be copied, saves wait.
    slots_[3].target = CopyText("C:\\new.exe");
    EXPECT_FALSE(SaveLauncherSettings());
    EXPECT_EQ(ReadFile(path_), users);
    EXPECT_FALSE(Exists(path_ + ".bak"));
    // Once it can, the user's bytes are kept first.
    settingsOpenFailures = 0;
    EXPECT_TRUE(SaveLauncherSettings());
    EXPECT_EQ(ReadFile(path_ + ".bak"), users);
    EXPECT_EQ(ReadFile(path_), SettingsFileWith({{3, "C:\\new.exe", "", "", ""}}, true, false));
    EXPECT_EQ(settingsMessageCount, 1);
}

TEST_F(SettingsStoreTest, WithoutAFileTheStartShowsTheRingAndSavesFreely)
{
    LoadStoredSettings();
    EXPECT_TRUE(launcherSettings.showAtStart);
    EXPECT_EQ(settingsPausedMilliseconds, 0);
    EXPECT_TRUE(SaveLauncherSettings());
    EXPECT_EQ(ReadFile(path_).size(), 120u);
}

} // namespace
