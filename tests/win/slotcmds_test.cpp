// The slot menu and its commands, drops on a button, launching in the right
// folder: driven the way a person does it, with the modal menus and dialogs
// answered from threads of the test, and the settings file read back from
// disk after every change.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/foreign_names.h"
#include "app/launcher.h"
#include "app/ringwnd.h"
#include "app/slotcmds.h"
#include "tests/native/settings_bytes.h"
#include "tests/win/support/gui_objects.h"
#include "tests/win/support/input.h"
#include "tests/win/support/message_boxes.h"
#include "tests/win/support/modal_driver.h"
#include "tests/win/support/ring_fixture.h"

namespace {

// A drop of these paths, as the shell hands it to a window.
HDROP MakeDrop(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        memcpy(names, path.c_str(), path.size() + 1);
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

LRESULT DropOn(int slot, const std::vector<std::string>& paths)
{
    return SendMessageA(launcher.slots[slot].button, WM_DROPFILES,
                        reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

void Command(UINT id)
{
    SendMessageA(ringWindow.window, WM_COMMAND, id, 0);
}

std::string Upper(std::string text)
{
    CharUpperA(&text[0]);
    return text;
}

class SlotCommandTest : public RingFixture {
protected:
    // Gives the slot the recorder as its target through a drop, and awaits its icon.
    void DefineSlot(int slot)
    {
        ASSERT_EQ(DropOn(slot, {recorder_}), 0);
        ASSERT_TRUE(PumpUntil([&] { return launcher.slots[slot].icon != nullptr; })) << "no icon came";
    }

    // A real right click on the slot's sector; the menu it opens is answered
    // by the driver.
    void RightClickSlot(int slot)
    {
        POINT on = SectorPoint(slot);
        ClickAt(on.x, on.y, RIGHT_BUTTON);
        PumpMessages(100);
    }

    const std::string recorder_ = BesideTestExe("recorder.exe");
};

TEST_F(SlotCommandTest, SlotMenuGreysAllButChooseFileForAnEmptySlot)
{
    Start();
    DefineSlot(4);
    struct Case {
        int slot;
        UINT laterState;
    } cases[] = {{3, MF_GRAYED}, {4, MF_ENABLED}, {3, MF_GRAYED}};
    for (const Case& check : cases) {
        SCOPED_TRACE(check.slot);
        MenuDriver driver; // Escape
        RightClickSlot(check.slot);
        ASSERT_TRUE(driver.opened());
        ASSERT_EQ(driver.items().size(), 4u);
        const UINT ids[] = {IDM_CHOOSEFILE, IDM_WORKFOLDER, IDM_HINT, IDM_CLEAR};
        for (int position = 0; position < 4; ++position) {
            EXPECT_EQ(driver.items()[position].id, ids[position]);
            UINT state = driver.items()[position].state & (MF_GRAYED | MF_DISABLED);
            EXPECT_EQ(state, position == 0 ? 0u : check.laterState) << position;
        }
        // Dismissed without a choice: the slot stays current, nothing changes.
        EXPECT_EQ(ringWindow.currentSlot, check.slot);
    }
    EXPECT_EQ(SendMessageA(ringWindow.window, UM_SLOTMENU, SLOT_COUNT, 0), 0);
}

TEST_F(SlotCommandTest, ChooseFileFromTheMenuAssignsTheChosenTargetAndSaves)
{
    Start();
    {
        MenuDriver menu(IDM_CHOOSEFILE);
        OpenFileAnswerer dialog(recorder_.c_str());
        RightClickSlot(6);
        EXPECT_TRUE(menu.opened());
        EXPECT_TRUE(dialog.opened());
    }
    const LauncherSlot& slot = launcher.slots[6];
    EXPECT_STREQ(slot.target, recorder_.c_str());
    EXPECT_STREQ(slot.hint, "recorder");
    EXPECT_NE(slot.icon, nullptr);
    EXPECT_EQ(ButtonState(6)->icon, slot.icon);
    EXPECT_EQ(ringWindow.currentSlot, -1);
    EXPECT_EQ(ReadWholeFile(settings_), SettingsFileWith({{6, recorder_, "", "", "recorder"}}));
}

TEST_F(SlotCommandTest, ChoosingTheOwnTargetInOtherCaseKeepsATypedHint)
{
    Start();
    DefineSlot(2);
    ReplaceText(&launcher.slots[2].hint, "Typed by hand");
    HICON icon = launcher.slots[2].icon;
    DeleteFileA(settings_.c_str());
    ringWindow.currentSlot = 2;
    {
        OpenFileAnswerer dialog(Upper(recorder_).c_str());
        Command(IDM_CHOOSEFILE);
        EXPECT_TRUE(dialog.opened());
    }
    EXPECT_STREQ(launcher.slots[2].hint, "Typed by hand");
    EXPECT_EQ(launcher.slots[2].icon, icon);
    EXPECT_EQ(ringWindow.currentSlot, 2); // the one case that keeps it
    EXPECT_FALSE(FileExists(settings_));
}

TEST_F(SlotCommandTest, ChoosingAnotherFileReplacesHintAndIconButKeepsTheFolder)
{
    Start();
    DefineSlot(2);
    ReplaceText(&launcher.slots[2].hint, "Typed by hand");
    ReplaceText(&launcher.slots[2].workFolder, "C:\\windows");
    ReplaceText(&launcher.slots[2].extra, "kept");
    const std::string other = BesideTestExe("shell_tests.exe");
    ringWindow.currentSlot = 2;
    {
        OpenFileAnswerer dialog(other.c_str());
        Command(IDM_CHOOSEFILE);
    }
    EXPECT_STREQ(launcher.slots[2].target, other.c_str());
    EXPECT_STREQ(launcher.slots[2].hint, "shell_tests");
    EXPECT_EQ(ringWindow.currentSlot, -1);
    EXPECT_EQ(ReadWholeFile(settings_), SettingsFileWith({{2, other, "C:\\windows", "kept", "shell_tests"}}));
}

TEST_F(SlotCommandTest, CancellingTheFileDialogChangesNothing)
{
    Start();
    ringWindow.currentSlot = 8;
    {
        OpenFileAnswerer dialog(nullptr);
        Command(IDM_CHOOSEFILE);
        EXPECT_TRUE(dialog.opened());
    }
    EXPECT_EQ(launcher.slots[8].target, nullptr);
    EXPECT_EQ(ringWindow.currentSlot, -1);
    EXPECT_FALSE(FileExists(settings_));

    // Without a current slot the commands open nothing.
    for (UINT id : {IDM_CHOOSEFILE, IDM_WORKFOLDER, IDM_CLEAR}) {
        MessageBoxAnswerer boxes;
        Command(id);
        EXPECT_TRUE(boxes.seen().empty());
        EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
    }
}

TEST_F(SlotCommandTest, WorkingFolderIsChosenUnderTheHintAndUsedForLaunches)
{
    Start();
    DefineSlot(5);
    ringWindow.currentSlot = 5;
    {
        FolderBrowserAnswerer browser(CHOOSE_DESKTOP);
        Command(IDM_WORKFOLDER);
        EXPECT_TRUE(browser.opened());
        EXPECT_EQ(browser.title(), "recorder");
    }
    const std::string desktop = DesktopFolder();
    EXPECT_STREQ(launcher.slots[5].workFolder, desktop.c_str());
    EXPECT_EQ(ringWindow.currentSlot, -1);
    EXPECT_EQ(ReadWholeFile(settings_), SettingsFileWith({{5, recorder_, desktop, "", "recorder"}}));

    launcherSettings.hideAfterLaunch = false;
    SendMessageA(ringWindow.window, UM_SLOTCLICK, 5, 0);
    EXPECT_NE(AwaitRecord(recorderLog_).find("folder=" + desktop + "\n"), std::string::npos);
}

TEST_F(SlotCommandTest, WithoutAWorkingFolderTheTargetStartsInItsOwnFolder)
{
    Start();
    DefineSlot(5);
    launcherSettings.hideAfterLaunch = false;
    SendMessageA(ringWindow.window, UM_SLOTCLICK, 5, 0);
    std::string folder = recorder_.substr(0, recorder_.rfind('\\'));
    EXPECT_NE(AwaitRecord(recorderLog_).find("folder=" + folder + "\n"), std::string::npos);
}

TEST_F(SlotCommandTest, CancelledOrNonFileSystemFoldersChangeNothing)
{
    Start();
    DefineSlot(5);
    ReplaceText(&launcher.slots[5].workFolder, "C:\\windows");
    free(launcher.slots[5].hint);
    launcher.slots[5].hint = nullptr; // emptied in the dialog: no title
    DeleteFileA(settings_.c_str());
    for (FolderChoice choice : {CANCEL_BROWSER, CHOOSE_MY_COMPUTER}) {
        SCOPED_TRACE(choice);
        ringWindow.currentSlot = 5;
        FolderBrowserAnswerer browser(choice);
        Command(IDM_WORKFOLDER);
        EXPECT_TRUE(browser.opened());
        EXPECT_EQ(browser.title(), "");
        EXPECT_STREQ(launcher.slots[5].workFolder, "C:\\windows");
        EXPECT_EQ(ringWindow.currentSlot, -1);
        EXPECT_FALSE(FileExists(settings_));
    }
}

TEST_F(SlotCommandTest, ClearAsksAndOnlyOkEmptiesTheSlot)
{
    Start();
    DefineSlot(9);
    DefineSlot(10);
    free(launcher.slots[10].hint);
    launcher.slots[10].hint = nullptr;
    ReplaceText(&launcher.slots[9].workFolder, "C:\\windows");
    ReplaceText(&launcher.slots[9].extra, "extra");
    {
        MessageBoxAnswerer cancel(IDCANCEL);
        ringWindow.currentSlot = 9;
        Command(IDM_CLEAR);
        ASSERT_EQ(cancel.seen().size(), 1u);
        const SeenMessageBox& box = cancel.seen()[0];
        EXPECT_EQ(box.text, "Clear button?");
        EXPECT_EQ(box.caption, "[Z]Rondel");
        EXPECT_EQ(box.owner, ringWindow.window);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_QUESTION));
        EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_EQ(box.defaultButton, IDCANCEL);
    }
    EXPECT_STREQ(launcher.slots[9].target, recorder_.c_str());
    EXPECT_EQ(ringWindow.currentSlot, -1);

    MessageBoxAnswerer ok(IDOK);
    for (int slot : {9, 10}) {
        ringWindow.currentSlot = slot;
        Command(IDM_CLEAR);
        EXPECT_EQ(ringWindow.currentSlot, -1);
        EXPECT_EQ(launcher.slots[slot].target, nullptr);
        EXPECT_EQ(launcher.slots[slot].extra, nullptr);
        EXPECT_EQ(launcher.slots[slot].workFolder, nullptr);
        EXPECT_EQ(launcher.slots[slot].icon, nullptr);
        EXPECT_EQ(ButtonState(slot)->icon, nullptr);
    }
    EXPECT_STREQ(launcher.slots[9].hint, "You mast define action!");
    EXPECT_EQ(launcher.slots[10].hint, nullptr);
    EXPECT_EQ(ok.seen().size(), 2u);
    EXPECT_EQ(ReadWholeFile(settings_), SettingsFileWith({}));

    // An empty slot is not asked about.
    ringWindow.currentSlot = 9;
    Command(IDM_CLEAR);
    EXPECT_EQ(ok.seen().size(), 2u);
}

TEST_F(SlotCommandTest, ClearFromTheRealMenu)
{
    Start();
    DefineSlot(11);
    MessageBoxAnswerer ok(IDOK);
    {
        MenuDriver menu(IDM_CLEAR);
        RightClickSlot(11);
        EXPECT_TRUE(menu.opened());
    }
    EXPECT_EQ(ok.seen().size(), 1u);
    EXPECT_EQ(launcher.slots[11].target, nullptr);
}

TEST_F(SlotCommandTest, DropsAssignOneFileOrFolderAndRefuseTheRest)
{
    Start();
    // A folder: its name becomes the hint.
    const std::string folder = recorder_.substr(0, recorder_.rfind('\\'));
    EXPECT_EQ(DropOn(1, {folder}), 0);
    EXPECT_STREQ(launcher.slots[1].target, folder.c_str());
    EXPECT_STREQ(launcher.slots[1].hint, "ringwnd");
    EXPECT_EQ(ringWindow.currentSlot, -1);
    EXPECT_EQ(ReadWholeFile(settings_), SettingsFileWith({{1, folder, "", "", "ringwnd"}}));

    DeleteFileA(settings_.c_str());
    EXPECT_EQ(DropOn(1, {recorder_, folder}), -1);
    EXPECT_EQ(ringWindow.currentSlot, 1);
    EXPECT_STREQ(launcher.slots[1].target, folder.c_str());
    EXPECT_EQ(DropOn(1, {}), -1); // no name to take
    EXPECT_STREQ(launcher.slots[1].target, folder.c_str());

    // The own target again, in other letter case: not even a typed hint changes.
    ReplaceText(&launcher.slots[1].hint, "Typed");
    ringWindow.currentSlot = -1;
    EXPECT_EQ(DropOn(1, {Upper(folder)}), -2);
    EXPECT_EQ(ringWindow.currentSlot, 1);
    EXPECT_STREQ(launcher.slots[1].hint, "Typed");
    EXPECT_FALSE(FileExists(settings_));
    // Not forwarded by a button: refused.
    EXPECT_EQ(SendMessageA(ringWindow.window, WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({folder})), 0), -1);
}

// A link whose letters the code page lacks is kept whole, as a file name
// is: its readable form in the ANSI field, the link itself in the block.
TEST_F(SlotCommandTest, ALinkOutsideTheCodePageIsKeptWhole)
{
    Start();
    const wchar_t* link = L"https://\u4F8B\u3048.jp/\u30DA\u30FC\u30B8";
    // Its slot forms made first, as the drop's worker makes them.
    auto dropLink = [link](const wchar_t* hint) {
        char* path = nullptr;
        char16_t* whole = nullptr;
        SetSlotPath(&path, &whole, link);
        return DropPlaceOnSlot(link, path, whole, hint, ButtonState(2), &ringWindow.currentSlot);
    };
    EXPECT_EQ(dropLink(L"\u4F8B\u3048"), 0);
    const LauncherSlot& slot = launcher.slots[2];
    ASSERT_NE(slot.wholeTarget, nullptr);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(slot.wholeTarget)), link);
    EXPECT_EQ(std::string(slot.target).substr(0, 8), "https://");
    EXPECT_EQ(slot.workFolder, nullptr);
    EXPECT_NE(ReadWholeFile(settings_).find("ZRondelW1"), std::string::npos);
    EXPECT_EQ(dropLink(L"other"), -2); // its own target
}

// The shell starts no file by a name that long: the drop is refused with
// a box the ring owns, not kept to be found gone at the next start.
TEST_F(SlotCommandTest, ADroppedPathTooLongToStartIsRefusedWithABox)
{
    Start();
    MessageBoxAnswerer ok(IDOK);
    std::string path = "C:\\" + std::string(300, 'd') + "\\tool.exe";
    EXPECT_EQ(DropOn(0, {path}), -1);
    EXPECT_EQ(launcher.slots[0].target, nullptr);
    ASSERT_EQ(ok.seen().size(), 1u);
    EXPECT_EQ(ok.seen()[0].text, "This path is too long to be started from a button (260 characters or more).");
    EXPECT_EQ(ok.seen()[0].owner, ringWindow.window);
    EXPECT_FALSE(FileExists(settings_));
}

TEST_F(SlotCommandTest, FiveHundredAssignAndClearCyclesLeakNothing)
{
    Start();
    MessageBoxAnswerer ok(IDOK);
    DefineSlot(3);
    ringWindow.currentSlot = 3;
    Command(IDM_CLEAR);
    PumpMessages();
    unsigned gdi = CountGdiObjects(), windows = CountThreadWindows();
    for (int cycle = 0; cycle < 500; ++cycle) {
        DefineSlot(3);
        ringWindow.currentSlot = 3;
        Command(IDM_CLEAR);
        ASSERT_EQ(launcher.slots[3].target, nullptr);
    }
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountThreadWindows(), windows);
    EXPECT_EQ(ok.seen().size(), 501u);
}

} // namespace
