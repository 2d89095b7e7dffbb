#include "settings/file_on_disk.h"

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
#include <chrono>
#include <random>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_shim.h"
#include "settings/store.h"
#include "tests/common/load_as_started.h"
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
        settingsHeldPath = nullptr;
        settingsReadFailures = settingsReplaceFailures = 0;
        settingsKillCountdown = -1;
        settingsPulledReplace = false;
        settingsCodePage = 1252;
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
        return LoadAsStarted(path_.c_str(), slots_);
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

TEST_F(SettingsFileTest, WholeNamesRideAfterTheTrailerAndOnlyWithTheirSlot)
{
    // A file and a folder named in Japanese, whose ANSI forms name nothing,
    // as on a volume without 8.3 aliases.
    const std::u16string folder16(folder_.begin(), folder_.end());
    const std::u16string wholeApp = folder16 + u"/\u65E5.exe", wholeDocs = folder16 + u"/\u6587";
    std::ofstream(folder_ + "/\xE6\x97\xA5.exe") << "target";
    MakeFolderTarget("\xE6\x96\x87");
    const std::string app = folder_ + "/?.exe", docs = folder_ + "/?", other = MakeTarget();
    slots_[3].target = CopyText(app.c_str());
    slots_[3].workFolder = CopyText(docs.c_str());
    slots_[3].hint = CopyText("?");
    ReplaceWholeText(&slots_[3].wholeTarget, wholeApp.c_str());
    ReplaceWholeText(&slots_[3].wholeWorkFolder, wholeDocs.c_str());
    ASSERT_TRUE(Save());

    // What stops at the trailer reads the table as it has always been.
    const std::string table = SettingsFileWith({{3, app, docs, "", "?"}}, true, false);
    const std::string saved = ReadFile(path_);
    EXPECT_EQ(saved, SettingsBytes().Raw(table).WholeNames(3, app, docs, wholeApp, wholeDocs).str());
    // The block goes with the slot it was written for, and only with it.
    const std::string rewritten = SettingsFileWith({{3, other, docs, "", "?"}}, true, false);
    const struct {
        const char* what;
        std::string bytes;
        const char* target; // null: the slot loads empty
        bool whole;
    } cases[] = {
        {"saved", saved, app.c_str(), true},
        {"slot rewritten, block left behind", rewritten + saved.substr(table.size()), other.c_str(), false},
        {"block dropped by an older build", table, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Load(c.bytes), SETTINGS_LOADED);
        EXPECT_FALSE(Exists(path_ + ".bak"));
        EXPECT_STREQ(slots_[3].target, c.target);
        EXPECT_EQ(slots_[3].wholeTarget ? std::u16string(slots_[3].wholeTarget) : u"", c.whole ? wholeApp : u"");
        EXPECT_EQ(slots_[3].wholeWorkFolder ? std::u16string(slots_[3].wholeWorkFolder) : u"", c.whole ? wholeDocs : u"");
    }
    ASSERT_EQ(Load(saved), SETTINGS_LOADED);
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFile(path_), saved);
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

TEST_F(SettingsFileTest, LinksAndShellPlacesAreKeptWithoutAFileToFind)
{
    const char* kept[] = {"https://example.org/", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "shell:AppsFolder\\App"};
    SettingsBytes bytes;
    bytes.Magic("ZRondelV3").Int32(3);
    for (const char* target : kept)
        bytes.Entry(target, "", "", "H");
    bytes.Trailer(false, true, 1, 2);
    EXPECT_EQ(Load(bytes.str()), SETTINGS_LOADED);
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(slots_[i].target, kept[i]);
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
    // Under all names but the last, what killed saves left: cleared only under the lock.
    for (char last = '0'; last <= '8'; ++last)
        WriteFile(folder_ + "/settings.da" + last, std::string("ZRondelV3\0\x18", 11).substr(0, last - '0'));
    slots_[0].target = CopyText("C:\\app.exe");
    ASSERT_TRUE(Save());
    EXPECT_TRUE(Exists(folder_ + "/settings.da0") && Exists(folder_ + "/settings.da8"));
    WriteFile(folder_ + "/settings.da9", "ZRondelV3");
    LockSettingsFile(path_.c_str());
    ASSERT_TRUE(Save());
    UnlockSettingsFile();
    EXPECT_EQ(ReadFile(folder_ + "/settings.da_"), "somebody's");
    EXPECT_FALSE(Exists(folder_ + "/settings.da0")); // a leftover, cleared for the save
    EXPECT_TRUE(Exists(folder_ + "/settings.da~"));
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
    // Another run of the launcher on the same folder, started as start-up does.
    void Restart()
    {
        CloseSettingsStore();
        FreeSlotTable(slots_);
        slots_ = AllocateSlotTable();
        launcherSettings = kSettingsStartValues;
        ASSERT_TRUE(OpenSettingsStore(path_.c_str(), slots_));
        LoadStoredSettings();
    }
    void SetSlot(int slot, const std::string& target, const char* hint)
    {
        ReplaceText(&slots_[slot].target, target.c_str());
        ReplaceText(&slots_[slot].hint, hint);
    }
};

// Another copy's unsound file is kept in a backup, with a start's box, never merged.
TEST_F(SettingsStoreTest, AnotherCopysUnsoundFileIsKeptAndNeverMerged)
{
    const std::string app = MakeTarget();
    const std::string ours = SettingsFileWith({{0, app, "", "", "ours"}}), theirs = SettingsFileWith({{0, app, "", "", "ours"}, {7, app, "", "", "new"}});
    const struct { const char* what; std::string bytes; const char* box; } cases[] = { // box null: kept quietly
        {"truncated", theirs.substr(0, theirs.size() - 30), kDamagedSettingsText},
        {"unknown version", "ZRondelV9" + theirs.substr(9), kUnsupportedVersionText},
        {"bytes left over", theirs + "junk", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(path_, ours);
        Restart();
        settingsMessageCount = 0;
        WriteFile(path_, c.bytes);
        CatchUpWithSettingsFile();
        EXPECT_EQ(ReadFile(path_ + ".bak"), c.bytes);
        EXPECT_EQ(settingsMessageCount, c.box ? 1 : 0);
        EXPECT_STREQ(c.box ? lastSettingsMessageText : nullptr, c.box);
        EXPECT_EQ(ReadFile(path_), ours);
    }
    // Changed, then unreadable (a cloud file offline): never replaced unkept.
    WriteFile(path_, theirs);
    settingsReadFailures = 1000;
    SetSlot(3, app, "three");
    EXPECT_FALSE(SaveLauncherSettings());
    EXPECT_EQ(ReadFile(path_), theirs);
}

// A copy taking the lock waits while this one checks and replaces; a sync tool's
// write right after the replace is another copy's save, not this copy's own.
TEST_F(SettingsStoreTest, ASecondWriterWaitsForTheLockAndOneRightAfterIsTaken)
{
    static std::string theirs, path, lockBusy;
    const std::string app = MakeTarget();
    path = path_;
    WriteFile(path_, SettingsFileWith({{0, app, "", "", "first"}}));
    LoadStoredSettings();
    theirs = SettingsFileWith({{0, app, "", "", "first"}, {1, app, "", "", "ours"}, {2, app, "", "", "theirs"}});
    afterSettingsReplace = [] {
        afterSettingsReplace = nullptr;
        bool busy = false;
        lockBusy = OpenLockFile((path + ".lock").c_str(), &busy) ? "taken" : busy ? "busy" : "none";
        WriteFile(path, theirs);
    };
    SetSlot(1, app, "ours");
    ASSERT_TRUE(SaveLauncherSettings());
    EXPECT_EQ(lockBusy, "busy");
    CatchUpWithSettingsFile();
    EXPECT_STREQ(slots_[2].hint, "theirs");
}

// Changes that waited beside an unread file go onto it once; where their
// file could not be removed, they never apply again over newer settings.
TEST_F(SettingsStoreTest, WaitingChangesApplyOnceEvenWhereTheirFileStays)
{
    const std::string app = MakeTarget();
    WriteFile(path_, SettingsFileWith({{0, app, "", "", "theirs"}}));
    settingsHeldPath = path_.c_str();
    LoadStoredSettings();
    SetSlot(1, app, "waiting");
    EXPECT_FALSE(SaveLauncherSettings()); // beside the file; then the run is killed
    settingsHeldPath = nullptr;
    settingsKillCountdown = 3; // killed again just before the side file is removed
    Restart();
    settingsKillCountdown = -1;
    EXPECT_EQ(ReadFile(path_), SettingsFileWith({{0, app, "", "", "theirs"}, {1, app, "", "", "waiting"}}));
    ASSERT_TRUE(Exists(path_ + ".changes"));
    const std::string newer = SettingsFileWith({{0, app, "", "", "theirs"}, {1, app, "", "", "newer"}});
    WriteFile(path_, newer);
    Restart();
    EXPECT_STREQ(slots_[1].hint, "newer");
    EXPECT_EQ(ReadFile(path_), newer);
    EXPECT_FALSE(Exists(path_ + ".changes"));
    EXPECT_TRUE(Exists(path_ + ".bak")); // what they held is kept
}

// A Cyrillic name saved under Windows-1251 still names its folder under
// Windows-1252: every name outside ASCII rides whole after the trailer.
TEST_F(SettingsStoreTest, NamesOutsideASCIISurviveAChangeOfCodePage)
{
    MakeFolderTarget("\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0"); // in UTF-8 on the disk
    const std::string cyrillic = folder_ + "/\xCF\xE0\xEF\xEA\xE0";
    settingsCodePage = 1251;
    LoadStoredSettings();
    SetSlot(0, cyrillic, "folder");
    ASSERT_TRUE(SaveLauncherSettings());
    settingsCodePage = 1252;
    Restart();
    EXPECT_STREQ(slots_[0].target, cyrillic.c_str());
}

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

TEST_F(SettingsStoreTest, AFileThatStaysUnreadableIsReportedAndReadOnceItIsFree)
{
    const std::string users = SettingsFileWith({{0, MakeTarget(), "", "", "theirs"}}, false, true, 3, 4);
    WriteFile(path_, users);
    settingsHeldPath = path_.c_str();
    LoadStoredSettings();
    EXPECT_GE(settingsPausedMilliseconds, 1900);
    EXPECT_LE(settingsPausedMilliseconds, 2100);
    EXPECT_EQ(settingsMessageCount, 1);
    EXPECT_FALSE(RetryUnreadSettings()); // still held
    settingsHeldPath = nullptr;
    EXPECT_TRUE(RetryUnreadSettings());
    EXPECT_STREQ(slots_[0].hint, "theirs");
    EXPECT_EQ(launcherSettings.windowTop, 4);
}

TEST_F(SettingsStoreTest, WithoutAFileTheStartShowsTheRingAndSavesFreely)
{
    LoadStoredSettings();
    EXPECT_TRUE(launcherSettings.showAtStart);
    EXPECT_EQ(settingsPausedMilliseconds, 0);
    EXPECT_TRUE(SaveLauncherSettings());
    EXPECT_EQ(ReadFile(path_).size(), 120u);
}

// What the ring's timer may try while a box is up, and what a refused save
// waits for.
TEST_F(SettingsStoreTest, BoxesRunNoStoreWorkAndOnlyABusyReplaceIsWaitedFor)
{
    static std::string seenInBox;
    static decltype(this) test;
    test = this;
    const std::string theirs = SettingsFileWith({{0, MakeTarget(), "", "", "theirs"}});
    WriteFile(path_, theirs);
    settingsHeldPath = path_.c_str();
    LoadStoredSettings();
    const std::string app = MakeTarget();
    ReplaceText(&slots_[1].target, app.c_str());
    ReplaceText(&slots_[0].target, app.c_str());
    ReplaceText(&slots_[0].hint, "ours"); // theirs too changed it: kept in a backup
    EXPECT_FALSE(SaveLauncherSettings()); // still held: waits for the file
    settingsHeldPath = nullptr;
    whileSettingsMessageShown = [] {
        EXPECT_FALSE(RetryUnreadSettings()); // the timer, inside the box
        ReplaceText(&test->slots_[2].target, test->slots_[1].target);
        EXPECT_FALSE(SaveLauncherSettings()); // a change in the box is saved after it
        seenInBox = test->FolderNames() + " " + ReadFile(test->path_ + ".bak");
    };
    EXPECT_TRUE(RetryUnreadSettings());
    whileSettingsMessageShown = nullptr;
    EXPECT_EQ(seenInBox, "T\\app.exe settings.dat settings.dat.bak " + theirs); // one backup, made before the box
    EXPECT_EQ(strncmp(lastSettingsMessageText, kSetAsideSettingsText, strlen(kSetAsideSettingsText)), 0);
    EXPECT_EQ(ReadFile(path_), SettingsFileWith({{0, app, "", "", "ours"}, {1, app, "", "", ""}, {2, app, "", "", kDefaultHint}}));
    struct { int busy; bool readOnly; bool saved; int paused; } cases[] = {
        {3, false, true, 300}, {10, false, false, 900}, {0, true, false, 0}};
    for (const auto& row : cases) {
        ReplaceText(&slots_[2].hint, std::to_string(row.busy).c_str()); // new bytes to write
        ReplaceText(&slots_[2].target, slots_[1].target);
        settingsReplaceFailures = row.busy;
        settingsPausedMilliseconds = 0;
        chmod(path_.c_str(), row.readOnly ? 0444 : 0644);
        EXPECT_EQ(SaveLauncherSettings(), row.saved) << row.busy;
        EXPECT_EQ(settingsPausedMilliseconds, row.paused) << row.busy;
    }
    EXPECT_STREQ(LastSettingsFailure(), strerror(EACCES)); // the read-only file's reason, not the busy one's
}

// --- the store under a user's machine's faults --------------------------

// Random runs of the launcher against the faults a user's machine has. A
// model follows what must survive: the newest table the user's saves wrote
// (or the test put on the disk), and, for the rest of a run, a start's file
// that was damaged or could not be read. After every event each of them is
// byte for byte in settings.dat or in one of its backups.
class SettingsFaultsTest : public SettingsStoreTest {
protected:
    struct Table {
        std::vector<SlotFileEntry> entries;
        bool hide = true, show = false;
        int left = 0, top = 0;
        std::string Bytes() const { return SettingsFileWith(entries, hide, show, left, top); }
    };
    enum Start { FINE, HELD_BRIEFLY, HELD_LONG, DAMAGED, ABSENT, READ_FAILS, START_KINDS };

    Table RandomTable()
    {
        Table table;
        for (int slot = 0; slot < SLOT_COUNT; slot += 1 + rng_() % 8)
            table.entries.push_back({slot, targets_[rng_() % 3], rng_() % 2 ? "" : "C:\\w", "", std::to_string(rng_())});
        table.hide = rng_() % 2, table.show = rng_() % 2, table.left = rng_() % 900, table.top = rng_() % 700;
        return table;
    }
    // A target renamed away for a moment (an updater, a share reconnecting) or
    // back; all are back before a start, whose load test alone empties slots.
    void ToggleTarget(size_t index)
    {
        const std::string here = targets_[index], away = here + ".away";
        vanished_ ^= 1u << index;
        ASSERT_EQ(vanished_ & (1u << index) ? rename(here.c_str(), away.c_str()) : rename(away.c_str(), here.c_str()), 0);
    }
    void Begin(Start kind)
    {
        for (size_t index = 0; vanished_; ++index)
            if (vanished_ & (1u << index)) ToggleTarget(index);
        keep_.clear(), unsaved_.clear();
        changedUnread_ = false;
        if (kind == ABSENT || kind == DAMAGED)
            theirsKept_.clear(); // what the other copy saved is gone with the file
        if (kind == ABSENT) {
            unlink(path_.c_str());
            newest_.clear();
            readOnly_ = false;
        } else if (kind == DAMAGED) {
            newest_ = SettingsBytes().Magic("ZRondelV3").Int32(24).Int32(0x7FFFFFFF).Raw(std::to_string(rng_())).str();
            WriteFile(path_, newest_);
            keep_ = {newest_};
        } else if (!diskValid_) {
            onDisk_ = RandomTable();
            newest_ = onDisk_.Bytes();
            WriteFile(path_, newest_);
        }
        diskValid_ = kind != DAMAGED && kind != ABSENT;
        settingsOpenFailures = kind == HELD_BRIEFLY ? 1 + rng_() % 10 : 0;
        settingsHeldPath = kind == HELD_LONG ? path_.c_str() : settingsHeldPath;
        settingsReadFailures = kind == READ_FAILS ? 1000 : settingsReadFailures;
        unread_ = kind != ABSENT && (settingsHeldPath || settingsReadFailures);
        if (unread_)
            keep_ = {ReadFile(path_)};
        table_ = !diskValid_ || unread_ ? Table() : onDisk_;
        table_.show = table_.show || kind == ABSENT; // a first start shows the ring
        if (!diskValid_ && !unread_ && !leftover_.empty() && !settingsReadFailures)
            table_ = leftover_.back(); // what a pulled stick left is taken
        // Changes a killed run left go onto the file, unless it was written since.
        const bool waiting = !waiting_.empty() && !settingsReadFailures && (!Exists(path_) || Stamp() == waitingBase_),
                   fault = FaultInTheWay() || settingsOpenFailures > 0;
        if (waiting) {
            table_ = waiting_.back(), changedUnread_ = true, changesBase_ = waitingBase_;
            if (!unread_)
                MergeLate();
        }
        launcherSettings = kSettingsStartValues;
        FreeSlotTable(slots_);
        slots_ = AllocateSlotTable();
        ASSERT_TRUE(OpenSettingsStore(path_.c_str(), slots_));
        LoadStoredSettings();
        running_ = true;
        if (waiting && !unread_)
            Saved(fault);
        ExpectTableInMemory();
    }
    // The product's table and values as the model has them.
    void ExpectTableInMemory()
    {
        int defined = 0;
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            defined += slots_[slot].target != nullptr;
        ASSERT_EQ(defined, static_cast<int>(table_.entries.size()));
        for (const SlotFileEntry& entry : table_.entries)
            ASSERT_STREQ(slots_[entry.slot].target, entry.target.c_str());
        ASSERT_EQ(launcherSettings.hideAfterLaunch, table_.hide);
    }
    // A change of the user's to one slot or to the hiding switch, in the
    // product's table and in the model's.
    void Change()
    {
        if (unread_ && !changedUnread_)
            changesBase_ = Stamp(); // what the changes are based on
        changedUnread_ = changedUnread_ || unread_;
        if (rng_() % 4 == 0) {
            table_.hide = launcherSettings.hideAfterLaunch = !table_.hide;
            return;
        }
        SlotFileEntry entry = {static_cast<int>(rng_() % SLOT_COUNT), targets_[rng_() % 3], "", "", std::to_string(rng_())};
        TakeSlot(&table_, entry);
        unsaved_.push_back(entry.slot);
        LauncherSlot* changed = &slots_[entry.slot];
        ReplaceText(&changed->target, entry.target.c_str());
        ReplaceText(&changed->hint, entry.hint.c_str());
        ReplaceText(&changed->workFolder, nullptr);
    }
    // After a save that should have written the table: did it? At the end
    // of a run whose file is still unread it goes beside it, as a backup.
    void Saved(bool faultInTheWay, bool beside = false)
    {
        if (ReadFile(path_) == table_.Bytes() || (beside && InABackup(table_.Bytes()))) {
            newest_ = table_.Bytes();
            // A file still unreadable may hold the same bytes by chance: not set aside.
            if (ReadFile(path_) == newest_ && !(unread_ && (settingsHeldPath || settingsReadFailures)))
                unread_ = false, onDisk_ = table_, diskValid_ = true, unsaved_.clear();
            if (!leftover_.empty() && !InALeftover(leftover_.back().Bytes()))
                leftover_.clear(); // cleared once the save succeeded, unless a kill came first
        } else {
            ASSERT_TRUE(faultInTheWay || unread_) << "a save failed with nothing in its way: " << LastSettingsFailure();
        }
    }
    // A second copy on the same file, started from it, saves one slot of its
    // user's; the ring of this copy is shown at once and takes it, unless
    // this copy's user changed that slot too: then ours stays, and the
    // other's file must survive in a backup.
    void OtherCopySaves()
    {
        if (!running_ || unread_ || !diskValid_ || readOnly_ || settingsHeldPath || settingsReadFailures)
            return;
        Table theirs = onDisk_;
        SlotFileEntry entry = {static_cast<int>(rng_() % SLOT_COUNT), targets_[rng_() % 3], "", "", "other" + std::to_string(rng_())};
        TakeSlot(&theirs, entry);
        const std::string other = path_ + ".other";
        WriteFile(other, theirs.Bytes());
        ASSERT_EQ(rename(other.c_str(), path_.c_str()), 0);
        const bool conflict = std::find(unsaved_.begin(), unsaved_.end(), entry.slot) != unsaved_.end();
        theirsKept_ = conflict ? theirs.Bytes() : "";
        if (!conflict)
            TakeSlot(&table_, entry);
        newest_ = theirs.Bytes(), onDisk_ = theirs;
        CatchUpWithSettingsFile();
        ExpectTableInMemory();
    }
    static void TakeSlot(Table* table, const SlotFileEntry& entry)
    {
        auto& entries = table->entries;
        entries.erase(std::remove_if(entries.begin(), entries.end(), [&entry](const SlotFileEntry& e) { return e.slot == entry.slot; }), entries.end());
        entries.push_back(entry);
    }
    std::string Changes() const { return path_ + ".changes"; }
    std::pair<long long, long long> Stamp() const { long long size = -1, time = -1; FileStamp(path_.c_str(), &size, &time); return {size, time}; }
    bool SideHolds(const Table& table) { return ReadFile(Changes()).compare(0, table.Bytes().size(), table.Bytes()) == 0; }
    // The unread file read at last: the user's slots go onto it; kept where it held others.
    void MergeLate()
    {
        Table merged = diskValid_ ? onDisk_ : table_;
        bool conflict = !diskValid_ && Exists(path_);
        for (const SlotFileEntry& ours : table_.entries) {
            for (const SlotFileEntry& theirs : diskValid_ ? onDisk_.entries : std::vector<SlotFileEntry>())
                conflict = conflict || (theirs.slot == ours.slot && (theirs.target != ours.target || theirs.hint != ours.hint));
            TakeSlot(&merged, ours), unsaved_.push_back(ours.slot);
        }
        merged.hide = merged.hide && table_.hide; // switched off by the user: never one the file changed too
        keep_ = conflict ? std::vector<std::string>{ReadFile(path_)} : std::vector<std::string>();
        table_ = merged, unread_ = changedUnread_ = false;
    }
    bool InALeftover(const std::string& bytes)
    {
        for (char last : std::string("~_0123456789"))
            if (ReadFile(folder_ + "/settings.da" + last) == bytes)
                return true;
        return false;
    }
    bool InABackup(const std::string& bytes)
    {
        for (const char* suffix : {".bak", ".bak2", ".bak3"})
            if (Exists(path_ + suffix) && ReadFile(path_ + suffix) == bytes)
                return true;
        return false;
    }
    void ExpectNothingLost()
    {
        std::vector<std::string> must = keep_;
        for (const std::string* bytes : {&newest_, &theirsKept_})
            if (!bytes->empty())
                must.push_back(*bytes);
        if (!waiting_.empty())
            ASSERT_TRUE(SideHolds(waiting_.back())) << "lost the changes made while the file was unread";
        for (const std::string& bytes : must)
            ASSERT_TRUE(ReadFile(path_) == bytes || InABackup(bytes) || InALeftover(bytes))
                << "lost " << (bytes == newest_ ? "the newest table" : bytes == theirsKept_ ? "the other copy's" : "a start's file");
    }
    bool FaultInTheWay() const
    {
        return settingsHeldPath || settingsReadFailures || settingsReplaceFailures >= 10 || readOnly_ || blocked_;
    }
    void RunSequence()
    {
        keep_.clear(), newest_.clear(), theirsKept_.clear(), leftover_.clear(), waiting_.clear(), diskValid_ = running_ = readOnly_ = blocked_ = false;
        DIR* folder = opendir(folder_.c_str());
        while (dirent* entry = folder ? readdir(folder) : nullptr)
            if (strncmp(entry->d_name, "settings.", 9) == 0)
                unlink((folder_ + "/" + entry->d_name).c_str());
        closedir(folder);
        for (int event = 0; event < 24; ++event) {
            const int what = rng_() % 14;
            if (!running_) {
                Begin(static_cast<Start>(rng_() % START_KINDS));
            } else if (what <= 4) { // a change, saved at once: killed halfway (3), or refused a while (4)
                settingsKillCountdown = what == 3 ? rng_() % 9 : -1;
                settingsPulledReplace = what == 3 && rng_() % 2;
                settingsReplaceFailures = what == 4 ? 3 + rng_() % 2 * 7 : 0;
                Change();
                bool fault = FaultInTheWay() || what == 3, killedOrRefused = what == 3 || settingsReplaceFailures >= 10;
                if (unread_ && !settingsHeldPath && !settingsReadFailures)
                    MergeLate();
                SaveLauncherSettings();
                settingsKillCountdown = -1, settingsReplaceFailures = 0;
                Saved(fault);
                if (unread_ && SideHolds(table_))
                    waiting_ = {table_}, waitingBase_ = changesBase_;
                else
                    ASSERT_TRUE(!unread_ || killedOrRefused) << "a change while the file is unread is not beside it";
                if (what == 3) { // the process is gone; a complete new file stays beside
                    CloseSettingsStore();
                    running_ = false;
                    if (InALeftover(table_.Bytes()))
                        leftover_ = {table_}, newest_ = table_.Bytes();
                    diskValid_ = diskValid_ && Exists(path_);
                }
            } else if (what == 5) {
                blocked_ = mkdir((path_ + ".bak").c_str(), 0700) == 0 || blocked_;
            } else if (what == 6) {
                readOnly_ = chmod(path_.c_str(), 0444) == 0 || readOnly_;
            } else if (what == 7) { // the hold ends, and every fault with it
                settingsHeldPath = nullptr;
                settingsReadFailures = 0;
                readOnly_ = readOnly_ && chmod(path_.c_str(), 0644) != 0;
                blocked_ = blocked_ && rmdir((path_ + ".bak").c_str()) != 0;
            } else if (what == 8) { // the ring's timer tries the unread file again
                bool free = !settingsHeldPath && !settingsReadFailures;
                bool loadsLate = unread_ && free, changed = changedUnread_;
                if (loadsLate && changed)
                    MergeLate(); // the user's changes go onto it
                ASSERT_EQ(RetryUnreadSettings(), loadsLate) << "the unread file, read once it is free";
                if (loadsLate && changed)
                    Saved(FaultInTheWay());
                else if (loadsLate && diskValid_)
                    keep_.clear(); // read whole at last: a save may replace it
                if (loadsLate && !changed)
                    table_ = diskValid_ ? onDisk_ : leftover_.empty() ? Table() : leftover_.back(), unread_ = false;
                ExpectTableInMemory();
            } else if (what == 11) {
                ASSERT_NO_FATAL_FAILURE(OtherCopySaves());
            } else if (what == 12) { // the ring is shown: another copy's slots come in
                CatchUpWithSettingsFile();
                ExpectTableInMemory();
            } else if (what == 13) {
                if (!unread_) // a late read is the start's read, with its load test
                    ToggleTarget(rng_() % targets_.size());
            } else {
                bool fault = FaultInTheWay();
                if (unread_ && changedUnread_ && !settingsHeldPath && !settingsReadFailures)
                    MergeLate();
                SaveSettingsAtEnd(false);
                CloseSettingsStore();
                running_ = false;
                if (!unread_ || changedUnread_)
                    Saved(fault, unread_);
            }
            if (!Exists(Changes()))
                waiting_.clear();
            ASSERT_NO_FATAL_FAILURE(ExpectNothingLost()) << "event " << event;
        }
        CloseSettingsStore();
        rmdir((path_ + ".bak").c_str());
    }

    std::minstd_rand rng_;
    std::vector<std::string> targets_;
    std::vector<std::string> keep_; // a start's file, or another copy's in conflict, that a save must not drop
    std::string theirsKept_;        // the other copy's file where both changed a slot; empty for none
    std::vector<Table> waiting_;    // the table settings.dat.changes holds, made while the file was unread
    std::vector<Table> leftover_;   // the table a save cut short left complete under its temporary name
    std::vector<int> unsaved_;      // slots this copy's user changed since the file last held its table
    std::string newest_;            // the newest table that must survive; empty for none
    Table table_;                   // the user's table, as the product holds it
    Table onDisk_;                  // the last valid table on the disk
    unsigned vanished_ = 0;         // targets renamed away now, one bit each
    std::pair<long long, long long> changesBase_; // the unread file's size and time when the user first changed
    std::pair<long long, long long> waitingBase_; // the same for the changes settings.dat.changes holds
    bool diskValid_ = false, unread_ = false, changedUnread_ = false, running_ = false, readOnly_ = false, blocked_ = false;
};

TEST_F(SettingsFaultsTest, NoSequenceOfFaultsLosesTheUsersTable)
{
    CloseSettingsStore();
    // In memory where there is such a folder: thousands of runs flush files.
    char pattern[] = "/dev/shm/zrondel-faults-XXXXXX";
    if (mkdtemp(pattern)) {
        rmdir(folder_.c_str());
        folder_ = pattern;
        path_ = folder_ + "/settings.dat";
    }
    targets_ = {MakeTarget("T\\a.exe"), MakeTarget("T\\b.exe"), MakeTarget("T\\c.exe")};
    // 10 s of sequences, but never fewer than 1000: a loaded machine runs
    // longer instead of checking less. The 60 s bound only ends a hang.
    const auto begun = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::steady_clock::now() - begun; };
    int sequences = 0;
    for (unsigned seed = 1; sequences < 20000 && (elapsed() < std::chrono::seconds(10) || sequences < 1000) &&
                            elapsed() < std::chrono::seconds(60);
         ++seed, ++sequences) {
        rng_.seed(seed);
        ASSERT_NO_FATAL_FAILURE(RunSequence()) << "seed " << seed;
    }
    EXPECT_GE(sequences, 1000) << "fewer than 1000 sequences of faults ran within 60 s";
    printf("%d sequences of faults\n", sequences);
    OpenSettingsStore(path_.c_str(), slots_);
}

} // namespace
