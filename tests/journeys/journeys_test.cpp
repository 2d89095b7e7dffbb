// Journeys through the shipped launcher as a person makes them: a copy of
// what ships in a folder of its own, started as its own process, driven
// only by real pointer and keyboard input and judged by what the screen,
// the settings file and the registry show. A failing journey leaves a
// screenshot beside its folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include <shlobj.h>

#include <stdio.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/slots.h"
#include "tests/journeys/desktop.h"
#include "tests/journeys/launcher_copy.h"
#include "tests/native/settings_bytes.h"
#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/message_boxes.h"
#include "tests/win/support/modal_driver.h"
#include "tests/win/support/pixels.h"
#include "tests/win/support/run_key.h"

namespace {

const COLORREF kFace = RGB(102, 204, 255);         // the centre disc and the gaps between sectors
const COLORREF kButtonNormal = RGB(0, 136, 204);
const COLORREF kButtonHover = RGB(85, 170, 255);
const POINT kRestingPointer = {900, 600};          // clear of the ring and of the tray
const char kMessageBox[] = "#32770";
const char kToolTipClass[] = "ZR_ToolTip_Class";
const char kHintDialogClass[] = "EditDlg_Class";
const char kLauncherKey[] = "Software\\Ta[V]en Software\\[Z] Rondel";
const char kHotkeyValue[] = "Hotkey";

// Holds the file open without sharing, as a scanner or a backup tool does;
// INVALID_HANDLE_VALUE when it cannot.
HANDLE HoldExclusively(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Runs the command line and waits up to 30 s for it; false when it did not end.
bool RunToTheEnd(const std::wstring& commandLine)
{
    PROCESS_INFORMATION process = {};
    if (!StartCommand(nullptr, commandLine, &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

// Every ring window on the desktop, whichever process shows it.
int RingWindowCount()
{
    int count = 0;
    for (HWND ring = nullptr; (ring = FindWindowExA(nullptr, ring, "ZR_Main_Window_Class", nullptr));)
        ++count;
    return count;
}

RECT WorkArea()
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::string CurrentTestName()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// Runs of sector pixels met on a full turn around the ring's centre at the
// radius; every other pixel on the way must be the face showing through.
int SectorsOnCircle(const ScreenCapture& screen, HWND ring, int radius, int* otherPixels)
{
    POINT centre = RingHub(ring);
    const int kSamples = 720;
    std::vector<bool> onSector(kSamples);
    *otherPixels = 0;
    for (int i = 0; i < kSamples; ++i) {
        double angle = 2 * 3.141592653589793 * i / kSamples;
        COLORREF pixel = screen.pixel({centre.x + static_cast<LONG>(lround(radius * cos(angle))),
                                      centre.y - static_cast<LONG>(lround(radius * sin(angle)))});
        onSector[i] = pixel == kButtonNormal;
        if (!onSector[i] && pixel != kFace)
            ++*otherPixels;
    }
    int runs = 0; // counted where a run begins, the turn being closed
    for (int i = 0; i < kSamples; ++i)
        runs += onSector[i] && !onSector[(i + kSamples - 1) % kSamples];
    return runs;
}

class Journey : public ::testing::Test {
protected:
    void SetUp() override { MovePointerTo(kRestingPointer.x, kRestingPointer.y); }

    void TearDown() override
    {
        if (HasFailure()) {
            std::string shot = BesideTestExe("runs") + "\\" + CurrentTestName() + "-failure.bmp";
            if (ScreenCapture().Save(shot))
                printf("screenshot of the failure: %s\n", shot.c_str());
        }
    }

    // Starts the copy, puts the tray out of the ring's way and the pointer
    // at rest.
    void Start()
    {
        ASSERT_TRUE(copy_.Start());
        MoveTrayToTheCorner();
        MovePointerTo(kRestingPointer.x, kRestingPointer.y);
        Sleep(200);
    }

    // A hand comes onto the point before it clicks or hovers.
    void Approach(POINT at)
    {
        ApproachPointer(at.x, at.y);
        Sleep(50);
    }
    void RightClick(POINT at)
    {
        Approach(at);
        ClickAt(at.x, at.y, RIGHT_BUTTON);
    }
    void LeftClick(POINT at)
    {
        Approach(at);
        ClickAt(at.x, at.y, LEFT_BUTTON);
    }
    POINT Sector(int slot) const { return SectorMiddle(copy_.ring(), slot); }

    // Right click on the sector, then the entry of its menu.
    bool ChooseForSlot(int slot, SlotMenuEntry entry)
    {
        RightClick(Sector(slot));
        return ChooseFromMenu(copy_, entry);
    }
    // Right click on the face, then the entry of the main menu.
    bool ChooseFromFace(MainMenuEntry entry)
    {
        RightClick(RingHub(copy_.ring()));
        return ChooseFromMenu(copy_, entry);
    }
    // Right click on the tray icon, then the entry of the main menu.
    bool ChooseFromTray(MainMenuEntry entry)
    {
        RightClick(TrayIconPoint());
        return ChooseFromMenu(copy_, entry);
    }

    // Left, middle or right click on the tray icon.
    void ClickTray(MouseButton button = LEFT_BUTTON)
    {
        POINT icon = TrayIconPoint();
        ClickAt(icon.x, icon.y, button);
        Sleep(200);
    }
    void MiddleClickOnTheFace()
    {
        POINT hub = RingHub(copy_.ring());
        ClickAt(hub.x, hub.y, MIDDLE_BUTTON);
        Sleep(200);
    }
    // The pointer onto the slot's sector from rest: the tooltip it brings
    // up, or null.
    HWND HoverOver(int slot)
    {
        MovePointerTo(kRestingPointer.x, kRestingPointer.y);
        POINT middle = Sector(slot);
        MovePointerTo(middle.x, middle.y);
        return copy_.AwaitWindow(kToolTipClass, nullptr, 2000);
    }
    // Where the slot's tooltip shows with the pointer on the sector, and
    // where the hint dialog chosen there shows; the dialog is then cancelled.
    void PopUpsOf(int slot, RECT* tip, RECT* dialog)
    {
        HWND window = HoverOver(slot);
        ASSERT_NE(window, nullptr) << "no tooltip";
        GetWindowRect(window, tip);
        ASSERT_TRUE(ChooseForSlot(slot, MENU_HINT));
        window = copy_.AwaitModal(kHintDialogClass, nullptr);
        ASSERT_NE(window, nullptr) << "no hint dialog";
        GetWindowRect(window, dialog);
        ClickDialogButton(window, 2); // cancel
        ASSERT_TRUE(copy_.AwaitNoWindow(kHintDialogClass, nullptr));
    }
    // Clicks the slot's sector and answers what the recorder wrote.
    std::string LaunchFrom(int slot)
    {
        DeleteFileA(copy_.Path("recorder.log").c_str());
        LeftClick(Sector(slot));
        std::string record = copy_.AwaitRecord();
        Sleep(200);
        return record;
    }
    std::string RecordOf(const std::string& folder, const char* ring) const
    {
        return "folder=" + folder + "\ncommand=\nring=" + ring + "\n";
    }
    // Waits for the launcher's message box with the caption: its text, or
    // "<none>".
    std::string MessageBoxText(const char* caption, HWND* box)
    {
        *box = copy_.AwaitModal(kMessageBox, caption);
        if (!*box)
            return "<none>";
        char text[512] = "";
        GetDlgItemTextA(*box, 0xFFFF, text, sizeof text);
        return text;
    }

    // The system's text for the error, as the launcher's boxes give it.
    static std::string SystemReason(DWORD error)
    {
        std::string reason = SystemErrorText(error);
        return reason.erase(reason.find_last_not_of("\r\n ") + 1);
    }
    // Waits up to 2 s (or `wait` ms) for the ring to be shown or hidden:
    // whether it is.
    bool AwaitRingShown(bool shown, DWORD wait = 2000) const
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < wait; PumpMessages(10)) {
            if ((IsWindowVisible(copy_.ring()) != 0) == shown)
                return true;
        }
        return false;
    }
    void PressWinShiftZ() { TapKey('Z', VK_LWIN, VK_SHIFT); }
    void PressCtrlAltF9() { TapKey(VK_F9, VK_CONTROL, VK_MENU); }
    bool WriteHotkeyValue(const std::string& text) const
    {
        return WriteUserValue(kLauncherKey, kHotkeyValue, REG_SZ, text + '\0');
    }

    // In the tooltip as the screen shows it: the green pixels of the
    // recorder's icon in the square at its left, and the hint's dark ones
    // to the right of it.
    static int TipIconPixels(HWND tip, int* darkPixels)
    {
        RECT bounds;
        GetWindowRect(tip, &bounds);
        ScreenCapture screen;
        int side = bounds.bottom - bounds.top - 2, greenPixels = 0;
        *darkPixels = 0;
        for (int x = bounds.left + 1; x < bounds.right - 1; ++x)
            for (int y = bounds.top + 1; y < bounds.bottom - 1; ++y) {
                COLORREF pixel = screen.pixel({x, y});
                if (x < bounds.left + 1 + side)
                    greenPixels += GetGValue(pixel) > 150 && GetRValue(pixel) < 100 && GetBValue(pixel) < 100;
                else
                    *darkPixels += GetRValue(pixel) < 100 && GetGValue(pixel) < 100;
            }
        return greenPixels;
    }

    std::string Settings() const { return ReadWholeFile(copy_.settingsPath()); }
    bool WriteSettings(const std::string& bytes) const { return WriteWholeFile(copy_.settingsPath(), bytes); }

    LauncherCopy copy_{CurrentTestName()};
    const std::string recorder_ = copy_.Path("recorder.exe");
};

TEST_F(Journey, FirstStartShowsTheRoundRingWithItsTwentyFourSectors)
{
    Start();
    HWND ring = copy_.ring();
    ASSERT_TRUE(IsWindowVisible(ring));
    RECT bounds;
    GetWindowRect(ring, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 200);
    EXPECT_EQ(bounds.bottom, 200);

    // Round: the corners of the square show the desktop, the rim the ring.
    ScreenCapture screen;
    COLORREF desktop = screen.pixel({700, 700});
    for (POINT corner : {POINT{2, 2}, POINT{197, 2}, POINT{2, 197}, POINT{197, 197}})
        EXPECT_EQ(screen.pixel(corner), desktop) << corner.x << "," << corner.y;
    EXPECT_EQ(screen.pixel({100, 100}), kFace);
    EXPECT_NE(screen.pixel({100, 2}), desktop);

    int otherPixels = 0;
    EXPECT_EQ(SectorsOnCircle(screen, ring, 45, &otherPixels), 8); // the inner ring
    EXPECT_EQ(otherPixels, 0);
    EXPECT_EQ(SectorsOnCircle(screen, ring, 80, &otherPixels), 16); // the outer ring
    EXPECT_EQ(otherPixels, 0);
    // Between the rings, a band of face all round.
    EXPECT_EQ(SectorsOnCircle(screen, ring, 62, &otherPixels), 0);
    EXPECT_EQ(otherPixels, 0);
    EXPECT_FALSE(FileExists(copy_.settingsPath())); // nothing written before a change
}

TEST_F(Journey, AssignByChooserAndByDropThenHoverAndLaunch)
{
    Start();
    ASSERT_TRUE(ChooseForSlot(0, MENU_CHOOSE_FILE));
    ASSERT_NE(copy_.AwaitModal(kMessageBox, nullptr), nullptr) << "no file chooser";
    ASSERT_TRUE(TypeOver(recorder_.c_str()));
    TapKey(VK_RETURN);
    EXPECT_TRUE(copy_.AwaitNoWindow(kMessageBox, nullptr));
    std::string chosen = SettingsFileWith({{0, recorder_, "", "", "recorder"}});
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), ""), chosen);

    // A second target dropped from a file manager onto an outer sector.
    std::string other = copy_.Path("other.exe");
    ASSERT_TRUE(CopyFileA(recorder_.c_str(), other.c_str(), FALSE));
    ASSERT_TRUE(DropFileFromFileManager(Sector(1), other)) << "set ZRONDEL_XDND_DROP to the drop tool";
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), chosen),
              SettingsFileWith({{0, recorder_, "", "", "recorder"}, {1, other, "", "", "other"}}));

    // The pointer on the sector lights it and shows the hint beside it.
    POINT middle = Sector(0);
    Approach(middle);
    Sleep(150);
    EXPECT_EQ(ScreenPixel({middle.x - 12, middle.y}), kButtonHover);
    HWND tip = copy_.AwaitWindow(kToolTipClass, nullptr, 2000);
    ASSERT_NE(tip, nullptr);
    RECT tipBounds;
    GetWindowRect(tip, &tipBounds);
    EXPECT_EQ(tipBounds.left, middle.x);
    EXPECT_EQ(tipBounds.bottom, middle.y - 20);
    // The target's icon (the recorder's is a green tick) in the square at
    // the left, the hint's dark letters to the right of it.
    int darkPixels = 0;
    EXPECT_GT(TipIconPixels(tip, &darkPixels), 20);
    EXPECT_GT(darkPixels, 20);

    // A click hides the ring, then starts the target in its own folder.
    LeftClick(middle);
    std::string record = copy_.AwaitRecord();
    EXPECT_EQ(record, "folder=" + copy_.folder() + "\ncommand=\nring=hidden\n");
    EXPECT_FALSE(IsWindowVisible(copy_.ring()));
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(Journey, NoHideKeepsTheRingOpenAfterALaunchAndIsRemembered)
{
    ASSERT_TRUE(WriteSettings(SettingsFileWith({{0, recorder_, "", "", "recorder"}})));
    Start();
    HWND ring = copy_.ring();
    MiddleClickOnTheFace(); // hiding is on
    EXPECT_TRUE(AwaitRingShown(false));
    ClickTray();
    ASSERT_TRUE(AwaitRingShown(true));

    ASSERT_TRUE(ChooseFromFace(MENU_NOHIDE));
    std::string kept = SettingsFileWith({{0, recorder_, "", "", "recorder"}}, false);
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), ""), kept);
    MiddleClickOnTheFace();
    EXPECT_TRUE(IsWindowVisible(ring));
    EXPECT_EQ(LaunchFrom(0), RecordOf(copy_.folder(), "visible"));
    EXPECT_TRUE(IsWindowVisible(ring));

    ASSERT_TRUE(ChooseFromFace(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), kept);

    // Remembered: the next start keeps the ring open after a launch too,
    // until the entry is chosen again.
    Start();
    ring = copy_.ring();
    EXPECT_EQ(LaunchFrom(0), RecordOf(copy_.folder(), "visible"));
    EXPECT_TRUE(IsWindowVisible(ring));
    ASSERT_TRUE(ChooseFromFace(MENU_NOHIDE));
    MiddleClickOnTheFace();
    EXPECT_TRUE(AwaitRingShown(false));
    ClickTray();
    ASSERT_TRUE(AwaitRingShown(true)) << "the tray icon did not show the ring";
    EXPECT_EQ(LaunchFrom(0), RecordOf(copy_.folder(), "hidden"));
    EXPECT_FALSE(IsWindowVisible(ring));
}

TEST_F(Journey, EditAHintChooseAWorkingFolderAndClearASlot)
{
    std::string other = copy_.Path("other.exe");
    ASSERT_TRUE(CopyFileA(recorder_.c_str(), other.c_str(), FALSE));
    ASSERT_TRUE(WriteSettings(
        SettingsFileWith({{0, recorder_, "", "", "recorder"}, {1, other, "", "", "other"}})));
    Start();
    HWND tip = HoverOver(0);
    ASSERT_NE(tip, nullptr);
    RECT before;
    GetWindowRect(tip, &before);

    // The hint: typed into the dialog over the old one, confirmed with "Ok".
    ASSERT_TRUE(ChooseForSlot(0, MENU_HINT));
    HWND dialog = copy_.AwaitModal(kHintDialogClass, nullptr);
    ASSERT_NE(dialog, nullptr);
    RECT dialogBounds; // where it fits: centred on the pointer that chose
    GetWindowRect(dialog, &dialogBounds);
    EXPECT_EQ(dialogBounds.left, Sector(0).x - 115);
    EXPECT_EQ(dialogBounds.top, Sector(0).y - 40);
    ASSERT_TRUE(TypeOver("A much longer journey hint"));
    HWND ok = FindWindowExA(dialog, nullptr, "EVButton", "Ok");
    ASSERT_NE(ok, nullptr);
    ClickWindowMiddle(ok);
    EXPECT_TRUE(copy_.AwaitNoWindow(kHintDialogClass, nullptr));
    std::string hinted = SettingsFileWith(
        {{0, recorder_, "", "", "A much longer journey hint"}, {1, other, "", "", "other"}});
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), ""), hinted);
    tip = HoverOver(0);
    ASSERT_NE(tip, nullptr);
    RECT after;
    GetWindowRect(tip, &after);
    EXPECT_GT(after.right - after.left, before.right - before.left + 50);

    // The working folder: the browser confirmed as it opens, on the desktop.
    ASSERT_TRUE(ChooseForSlot(0, MENU_WORK_FOLDER));
    ASSERT_NE(copy_.AwaitModal(kMessageBox, nullptr), nullptr) << "no folder browser";
    TapKey(VK_RETURN);
    EXPECT_TRUE(copy_.AwaitNoWindow(kMessageBox, nullptr));
    const std::string desktop = DesktopFolder();
    std::string withFolder = SettingsFileWith(
        {{0, recorder_, desktop, "", "A much longer journey hint"}, {1, other, "", "", "other"}});
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), hinted), withFolder);
    EXPECT_EQ(LaunchFrom(0), RecordOf(desktop, "hidden"));
    ClickTray();
    ASSERT_TRUE(AwaitRingShown(true));

    // Clearing asks first; Enter takes the default, Cancel.
    ASSERT_TRUE(ChooseForSlot(1, MENU_CLEAR));
    HWND box = nullptr;
    EXPECT_EQ(MessageBoxText("[Z]Rondel", &box), "Clear button?");
    TapKey(VK_RETURN);
    EXPECT_TRUE(copy_.AwaitNoWindow(kMessageBox, "[Z]Rondel"));
    Sleep(300);
    EXPECT_EQ(Settings(), withFolder);
    ASSERT_TRUE(ChooseForSlot(1, MENU_CLEAR));
    EXPECT_EQ(MessageBoxText("[Z]Rondel", &box), "Clear button?");
    ClickDialogButton(box, IDOK);
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), withFolder),
              SettingsFileWith({{0, recorder_, desktop, "", "A much longer journey hint"}}));
    // The cleared sector now tells what to do with it.
    EXPECT_NE(HoverOver(1), nullptr);
    LeftClick(Sector(1));
    EXPECT_EQ(MessageBoxText("VButton Clicked!", &box), "You mast define action for this button.");
    TapKey(VK_RETURN);
    EXPECT_TRUE(copy_.AwaitNoWindow(kMessageBox, "VButton Clicked!"));
}

TEST_F(Journey, AtTheScreensEdgesTheTooltipAndTheHintDialogStayWholeOnIt)
{
    const int kTopLeft = 7, kTopRight = 5; // the outer sectors either side of the top
    ASSERT_TRUE(WriteSettings(SettingsFileWith({{kTopRight, recorder_, "", "", "Recorder, top right"},
                                                {kTopLeft, recorder_, "", "", "Recorder, top left"}})));
    Start();
    // In the top-left corner the tooltip would go above the screen, and
    // pushed down it would hide the sector under the pointer: it shows below
    // the icon. The dialog goes into the corner.
    RECT tip, dialog;
    POINT pointer = Sector(kTopLeft);
    ASSERT_NO_FATAL_FAILURE(PopUpsOf(kTopLeft, &tip, &dialog));
    EXPECT_FALSE(PtInRect(&tip, pointer));
    EXPECT_EQ(tip.left, pointer.x);
    EXPECT_EQ(tip.top, pointer.y + 20);
    EXPECT_EQ(dialog.left, 0);
    EXPECT_EQ(dialog.top, 0);

    // At the right edge both move left just as far as it takes.
    const int screenRight = GetSystemMetrics(SM_CXSCREEN);
    POINT hub = RingHub(copy_.ring());
    DragWithLeftButton(hub, {hub.x + screenRight - 200, hub.y + 400});
    RECT ring;
    GetWindowRect(copy_.ring(), &ring);
    ASSERT_EQ(ring.right, screenRight);
    pointer = Sector(kTopRight);
    ASSERT_NO_FATAL_FAILURE(PopUpsOf(kTopRight, &tip, &dialog));
    EXPECT_EQ(tip.right, screenRight);
    EXPECT_EQ(tip.bottom, pointer.y - 20);
    EXPECT_EQ(dialog.right, screenRight);
    EXPECT_EQ(dialog.top, pointer.y - 40);
}

TEST_F(Journey, DragTheRingAwayExitFromTheTrayAndStartAgainAsLeft)
{
    const std::vector<SlotFileEntry> slots = {
        {0, recorder_, "C:\\windows", "", "Recorder"}, {9, copy_.Path("readme.txt"), "", "", "Guide"}};
    ASSERT_TRUE(WriteSettings(SettingsFileWith(slots)));
    Start();
    HWND ring = copy_.ring();
    POINT hub = RingHub(ring);
    DragWithLeftButton(hub, {hub.x + 400, hub.y + 300});
    RECT bounds;
    GetWindowRect(ring, &bounds);
    EXPECT_EQ(bounds.left, 400);
    EXPECT_EQ(bounds.top, 300);
    ClickTray();
    EXPECT_TRUE(AwaitRingShown(false));
    ASSERT_TRUE(ChooseFromTray(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    const std::string left = SettingsFileWith(slots, true, false, 400, 300);
    EXPECT_EQ(Settings(), left);

    Start();
    ring = copy_.ring();
    EXPECT_FALSE(IsWindowVisible(ring));
    ClickTray();
    ASSERT_TRUE(AwaitRingShown(true));
    GetWindowRect(ring, &bounds);
    EXPECT_EQ(bounds.left, 400);
    EXPECT_EQ(bounds.top, 300);
    EXPECT_NE(HoverOver(9), nullptr);
    EXPECT_EQ(LaunchFrom(0), RecordOf("C:\\windows", "hidden"));
    ASSERT_TRUE(ChooseFromTray(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), left);
}

TEST_F(Journey, ASlotOnADriveThatIsNotThereAtStartIsKeptAsStored)
{
    const std::string drive = UnmappedDrive();
    ASSERT_NE(drive, "") << "every drive letter has a volume in this prefix";
    const std::vector<SlotFileEntry> slots = {
        {0, recorder_, "", "", "recorder"},
        {4, drive + "\\Tools\\stick.exe", drive + "\\Tools", "extra", "Stick"},
        {5, copy_.Path("deleted.exe"), "", "", "Deleted"}};
    ASSERT_TRUE(WriteSettings(SettingsFileWith(slots)));
    Start();
    // A defined slot: the shell is asked, the ring hides, the failure is silent.
    LeftClick(Sector(4));
    EXPECT_EQ(copy_.AwaitWindow(kMessageBox, nullptr, 1000), nullptr);
    EXPECT_FALSE(IsWindowVisible(copy_.ring()));
    ASSERT_TRUE(ChooseFromTray(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), SettingsFileWith({slots[0], slots[1]}, true, false));

    // On the drive Windows runs from the letter does not follow: there
    // C:\Tools\stick.exe may be anyone's, and is not started instead.
    const std::wstring folder(copy_.folder().begin(), copy_.folder().end()), onWindows = L"C:\\zrondel-journey";
    CreateDirectoryW(onWindows.c_str(), nullptr);
    CreateDirectoryW(L"C:\\Tools", nullptr);
    for (const wchar_t* file : {L"\\zrondel.exe", L"\\vcontrols.dll"})
        ASSERT_TRUE(CopyFileW((folder + file).c_str(), (onWindows + file).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(recorder_.c_str(), "C:\\Tools\\stick.exe", FALSE));
    DeleteFileA("C:\\Tools\\recorder.log");
    copy_.Relocate(onWindows);
    ASSERT_TRUE(WriteSettings(SettingsFileWith({slots[1]})));
    Start();
    LeftClick(Sector(4));
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000 && !FileExists("C:\\Tools\\recorder.log");)
        Sleep(100);
    EXPECT_FALSE(FileExists("C:\\Tools\\recorder.log")) << "a file the launcher was not given was started";
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
}

TEST_F(Journey, ASecondStartShowsTheHiddenFirstAndEndsWithMinusNineteen)
{
    Start();
    ClickTray();
    ASSERT_TRUE(AwaitRingShown(false)) << "the tray icon did not hide the ring";
    EXPECT_EQ(static_cast<int>(copy_.StartAnotherAndAwaitExit()), -19);
    EXPECT_TRUE(AwaitRingShown(true)) << "the second start did not show the ring";
    EXPECT_TRUE(copy_.running());
}

TEST_F(Journey, AutostartOnAndOffThroughTheMainMenu)
{
    LauncherRunValueGuard guard;
    Start();
    ASSERT_TRUE(ChooseFromFace(MENU_AUTOSTART));
    RegistryValue value = ReadLauncherRunValue();
    ASSERT_TRUE(value.exists);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.data, copy_.Path("zrondel.exe") + std::string(1, '\0'));
    ASSERT_TRUE(ChooseFromTray(MENU_AUTOSTART));
    EXPECT_FALSE(ReadLauncherRunValue().exists);
}

TEST_F(Journey, DamagedSettingsAreReportedOnceKeptAsBakAndTheLauncherWorksOn)
{
    const std::string good = SettingsFileWith({{0, recorder_, "", "", "recorder"}, {1, recorder_, "", "", "two"}});
    struct Damage {
        std::string bytes;
        const char* caption;
        const char* text;
        bool slotsKept; // the sound part before the damage is read
    } damages[] = {
        {good.substr(0, good.size() - 30), "[Z]Rondel",
         "Settings file is damaged.\nA copy of it is kept in settings.dat.bak", true},
        {"ZRondelV7" + good.substr(9), "Check for program updates",
         "Version of setings not supported.\nProgram will clear settings", false},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.caption);
        ASSERT_TRUE(WriteSettings(damage.bytes));
        DeleteFileA(copy_.Path("settings.dat.bak").c_str());
        ASSERT_TRUE(copy_.Launch());
        HWND box = nullptr;
        EXPECT_EQ(MessageBoxText(damage.caption, &box), damage.text);
        TapKey(VK_RETURN);
        ASSERT_TRUE(copy_.AwaitRing());
        EXPECT_EQ(copy_.AwaitWindow(kMessageBox, nullptr, 1000), nullptr); // once only
        EXPECT_EQ(ReadWholeFile(copy_.Path("settings.dat.bak")), damage.bytes);
        MoveTrayToTheCorner();

        // It works on: shown from the tray, the sound slots launch.
        if (!IsWindowVisible(copy_.ring()))
            ClickTray();
        ASSERT_TRUE(AwaitRingShown(true)) << "the tray icon did not show the ring";
        if (damage.slotsKept)
            EXPECT_EQ(LaunchFrom(0), RecordOf(copy_.folder(), "hidden"));
        else
            EXPECT_EQ(HoverOver(0), nullptr);
        ASSERT_TRUE(ChooseFromTray(MENU_EXIT));
        EXPECT_EQ(copy_.AwaitExit(), 0u);
        EXPECT_EQ(ReadWholeFile(copy_.Path("settings.dat.bak")), damage.bytes);
    }
}

TEST_F(Journey, SavesPassOverTakenNamesAndAHeldFileKeepsItsBytes)
{
    const std::string good = SettingsFileWith({{0, recorder_, "", "", "recorder"}});
    ASSERT_TRUE(WriteSettings(good));
    // A folder where a save writes its new file first, and somebody's file
    // where it would write next: both are passed over and left alone.
    ASSERT_TRUE(CreateDirectoryA(copy_.Path("settings.da~").c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteWholeFile(copy_.Path("settings.da_"), "somebody's"));
    Start();
    ASSERT_TRUE(ChooseFromFace(MENU_NOHIDE));
    const std::string kept = SettingsFileWith({{0, recorder_, "", "", "recorder"}}, false);
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), good), kept);
    EXPECT_EQ(ReadWholeFile(copy_.Path("settings.da_")), "somebody's");

    // While another program holds the file for a moment, a save waits it out.
    HANDLE hold = HoldExclusively(copy_.settingsPath());
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ChooseFromFace(MENU_NOHIDE));
    Sleep(500);
    CloseHandle(hold);
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), kept), good);
    EXPECT_FALSE(FileExists(copy_.Path("settings.da0"))); // no half-done save left behind

    // Made read-only, the file stays as it is, and the first save that
    // fails is said, once.
    ASSERT_TRUE(SetFileAttributesA(copy_.settingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(ChooseFromFace(MENU_NOHIDE));
    HWND box = nullptr;
    EXPECT_EQ(MessageBoxText("[Z]Rondel", &box), "Settings file cannot be saved:\n" + copy_.settingsPath() + "\n\n" +
                                                     SystemReason(ERROR_ACCESS_DENIED) + "\nYour changes cannot be kept.");
    TapKey(VK_RETURN);
    ASSERT_TRUE(ChooseFromFace(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u) << "a second box";
    EXPECT_EQ(Settings(), good);
    EXPECT_EQ(ReadWholeFile(copy_.Path("settings.da_")), "somebody's");
    SetFileAttributesA(copy_.settingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Journey, AHeldSettingsFileIsWaitedForOrReportedAndNeverLost)
{
    const std::string users = SettingsFileWith({{0, recorder_, "", "", "recorder"}}, true, true, 300, 200);
    ASSERT_TRUE(WriteSettings(users));
    // A short hold, like a scanner's, is waited out.
    HANDLE hold = HoldExclusively(copy_.settingsPath());
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(copy_.Launch());
    Sleep(1000);
    CloseHandle(hold);
    ASSERT_TRUE(copy_.AwaitRing());
    EXPECT_EQ(copy_.AwaitWindow(kMessageBox, nullptr, 500), nullptr);
    RECT place;
    GetWindowRect(copy_.ring(), &place);
    EXPECT_EQ(place.left, 300);
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), users);

    // A backup tool that holds it longer at every logon: each start says so
    // once, and no end of the run replaces the unread file.
    for (int logon = 1; logon <= 2; ++logon) {
        SCOPED_TRACE(logon);
        hold = HoldExclusively(copy_.settingsPath());
        ASSERT_NE(hold, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(copy_.Launch());
        HWND box = nullptr;
        EXPECT_EQ(MessageBoxText("[Z]Rondel", &box), "Settings file cannot be read:\n" + copy_.settingsPath() + "\n\n" +
                                                         SystemReason(ERROR_SHARING_VIOLATION) +
                                                         "\nIt is kept as it is and read as soon as it can be.");
        TapKey(VK_RETURN);
        ASSERT_TRUE(copy_.AwaitRing());
        if (logon == 2)
            break;
        PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
        EXPECT_EQ(copy_.AwaitExit(), 0u);
        CloseHandle(hold);
        EXPECT_EQ(Settings(), users);
        EXPECT_FALSE(FileExists(copy_.Path("settings.dat.bak")));
    }
    // Freed, it is read within seconds and the ring comes up as it says.
    CloseHandle(hold);
    ASSERT_TRUE(AwaitRingShown(true, 8000)) << "the freed file was not read";
    GetWindowRect(copy_.ring(), &place);
    EXPECT_EQ(place.left, 300);
    MoveTrayToTheCorner();
    EXPECT_EQ(LaunchFrom(0), RecordOf(copy_.folder(), "hidden"));
}

// Two sessions on one PC, or two PCs on a synced folder: a second launcher
// of the same folder runs in a Wine prefix of its own, with a wineserver of
// its own, and neither knows the other.
// The second launcher runs under Windows-1252, this one under Windows-1251: a target in
// a Cyrillic folder, stored by an older build in Windows-1251 alone, is kept by both.
TEST_F(Journey, TwoLaunchersOnOneFolderEachAssignAndBothSlotsAreKept)
{
    if (!getenv("ZRONDEL_SECOND_WINE"))
        GTEST_SKIP() << "no second Wine prefix here";
    const std::wstring cyrillic = std::wstring(copy_.folder().begin(), copy_.folder().end()) +
                                  L"\\\x041F\x0430\x043F\x043A\x0430\\recorder.exe";
    ASSERT_TRUE(CreateDirectoryW(cyrillic.substr(0, cyrillic.rfind(L'\\')).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileW(std::wstring(recorder_.begin(), recorder_.end()).c_str(), cyrillic.c_str(), FALSE));
    char stored[MAX_PATH];
    ASSERT_GT(WideCharToMultiByte(1251, 0, cyrillic.c_str(), -1, stored, MAX_PATH, nullptr, nullptr), 0);
    const SlotFileEntry first = {0, recorder_, "", "", "recorder"}, inCyrillic = {3, stored, "", "", "recorder"};
    const auto withWholeName = [&](const std::string& table) {
        return SettingsBytes().Raw(table).WholeNames(3, stored, "", std::u16string(cyrillic.begin(), cyrillic.end()), u"").str();
    };
    ASSERT_TRUE(WriteSettings(SettingsFileWith({first, inCyrillic}, true, true, 100, 300)));
    Start();
    // Moved aside, so that the second ring, at the file's place, shows whole.
    SetWindowPos(copy_.ring(), nullptr, 500, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const POINT secondHub = {200, 400}, offset = {-400, 0};
    auto awaitSecondRing = [&](bool shown) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(100))
            if ((ScreenPixel(secondHub) == kFace) == shown)
                return true;
        return false;
    };
    // This launcher's user drops a file on slot 1: the save keeps the
    // Cyrillic name whole beside its Windows-1251 bytes.
    const std::string second = copy_.Path("second.exe"), other = copy_.Path("other.exe");
    ASSERT_TRUE(CopyFileA(recorder_.c_str(), second.c_str(), FALSE) && CopyFileA(recorder_.c_str(), other.c_str(), FALSE));
    const SlotFileEntry mine = {1, other, "", "", "other"}, theirs = {2, second, "", "", "second"};
    std::string before = Settings();
    ASSERT_TRUE(DropFileFromFileManager(Sector(1), other));
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), before), withWholeName(SettingsFileWith({first, mine, inCyrillic}, true, true, 100, 300)));

    ASSERT_TRUE(RunInSecondPrefix(UnixPathOf(copy_.Path("zrondel.exe"))));
    ASSERT_TRUE(awaitSecondRing(true)) << "the second launcher's ring did not come up";
    // The second launcher's user drops a file on slot 2 while this one runs.
    const POINT slot2 = Sector(2);
    before = Settings();
    ASSERT_TRUE(DropFileFromFileManager({slot2.x + offset.x, slot2.y + offset.y}, second));
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), before),
              withWholeName(SettingsFileWith({first, mine, theirs, inCyrillic}, true, true, 100, 300)));

    // Shown again, this ring has it: its tooltip shows the icon and the hint.
    ShowWindow(copy_.ring(), SW_HIDE);
    ShowWindow(copy_.ring(), SW_SHOW);
    HWND tip = HoverOver(2);
    ASSERT_NE(tip, nullptr) << "slot 2 shows no tooltip";
    int darkPixels = 0;
    EXPECT_GT(TipIconPixels(tip, &darkPixels), 20) << "no icon";
    EXPECT_GT(darkPixels, 20) << "no hint";

    // This one starts it (and hides); then both end: the second first, by
    // the system's close, this one last.
    ASSERT_TRUE(RunInSecondPrefix("taskkill /im zrondel.exe >/dev/null"));
    ASSERT_TRUE(awaitSecondRing(false)) << "the second launcher did not end";
    const std::wstring log = cyrillic.substr(0, cyrillic.rfind(L'\\') + 1) + L"recorder.log";
    DeleteFileW(log.c_str());
    LeftClick(Sector(3));
    bool started = false;
    for (DWORD start = GetTickCount(); !started && GetTickCount() - start < 10000; Sleep(50))
        started = GetFileAttributesW(log.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(started) << "the target in the Cyrillic folder did not start";
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), withWholeName(SettingsFileWith({first, mine, theirs, inCyrillic}, true, false, 500, 300)));
}

TEST_F(Journey, AGreekNameDroppedIsKeptWholeBesideItsShortNameWithAReadableHint)
{
    Start();
    const wchar_t omega[] = L"\x03A9\x03BC\x03AD\x03B3\x03B1"; // "Omega" in Greek letters
    const std::wstring recorder(recorder_.begin(), recorder_.end());
    const std::wstring greek = recorder.substr(0, recorder.rfind(L'\\') + 1) + omega + L".exe";
    ASSERT_TRUE(CopyFileW(recorder.c_str(), greek.c_str(), FALSE));
    ASSERT_TRUE(DropFileFromFileManager(Sector(2), greek.c_str())) << "set ZRONDEL_XDND_DROP to the drop tool";
    // The table names it by its short name, for builds that read no more;
    // the whole name follows it. The hint is the long name as the code page
    // can show it.
    wchar_t shortName[MAX_PATH] = L"";
    GetShortPathNameW(greek.c_str(), shortName, MAX_PATH);
    char stored[MAX_PATH], hint[16];
    WideCharToMultiByte(CP_ACP, 0, shortName, -1, stored, MAX_PATH, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, omega, -1, hint, sizeof hint, nullptr, nullptr);
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), ""),
              SettingsBytes()
                  .Raw(SettingsFileWith({{2, stored, "", "", hint}}))
                  .WholeNames(2, stored, "", std::u16string(greek.begin(), greek.end()), u"")
                  .str());
    EXPECT_EQ(LaunchFrom(2), RecordOf(copy_.folder(), "hidden"));
}

TEST_F(Journey, InAJapaneseFolderAndOnAStickThatComesBackAsAnotherLetterTheLauncherKeepsItsSlots)
{
    LauncherRunValueGuard autostart;
    // A folder named in Japanese, of which the Russian code page has no letter.
    const std::wstring home = std::wstring(copy_.folder().begin(), copy_.folder().end()) + L"\\\x65E5\x672C";
    ASSERT_TRUE(CreateDirectoryW(home.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    for (const wchar_t* file : {L"zrondel.exe", L"vcontrols.dll", L"recorder.exe"})
        ASSERT_TRUE(CopyFileW((std::wstring(copy_.folder().begin(), copy_.folder().end()) + L"\\" + file).c_str(),
                              (home + L"\\" + file).c_str(), FALSE));
    copy_.Relocate(home);
    const std::string read = SettingsFileWith({{0, recorder_, "", "", "recorder"}});
    const std::string dropped = SettingsFileWith({{0, recorder_, "", "", "recorder"}, {1, recorder_, "", "", "recorder"}});
    ASSERT_TRUE(WriteSettings(read));
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        Start();
        // Neither the folder's box nor the companion library's.
        EXPECT_EQ(copy_.AwaitWindow(kMessageBox, nullptr, 1000), nullptr);
        if (start == 0) {
            ASSERT_TRUE(DropFileFromFileManager(Sector(1), recorder_));
            EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), read), dropped);
            ASSERT_TRUE(ChooseFromFace(MENU_AUTOSTART));
        }
        PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
        EXPECT_EQ(copy_.AwaitExit(), 0u);
        EXPECT_EQ(Settings(), dropped);
    }
    // At logon Windows runs the Run value's command: the copy in this folder.
    wchar_t command[MAX_PATH + 3] = L"";
    DWORD size = sizeof command;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                           L"Ta[V]en Software [Z] Rondel", RRF_RT_REG_SZ, nullptr, command, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(command, home + L"\\zrondel.exe");
    ASSERT_TRUE(copy_.StartByCommand(command)) << "the Run value's command started no launcher";
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), dropped);

    // The same folder as a stick: E: at home, where its slot was saved, then F:.
    CreateDirectoryW((home + L"\\work").c_str(), nullptr);
    ASSERT_TRUE(MapDrive('E', home)) << "E: cannot be mapped";
    copy_.Relocate(L"E:");
    const std::string atHome = SettingsFileWith({{0, "E:\\recorder.exe", "E:\\work", "", "recorder"}}, true, false);
    ASSERT_TRUE(WriteSettings(atHome));
    ASSERT_TRUE(MapDrive('E', L"") && MapDrive('F', home)) << "the stick cannot move to F:";
    copy_.Relocate(L"F:");
    Start();
    ShowWindow(copy_.ring(), SW_SHOW);
    ASSERT_TRUE(AwaitRingShown(true)) << "the ring did not come up";
    EXPECT_EQ(LaunchFrom(0), RecordOf("F:\\work", "hidden"));
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), atHome); // as stored, for home
    EXPECT_TRUE(MapDrive('F', L""));
}

TEST_F(Journey, EndingTheSessionOrClosingDuringTheSlotMenuKeepsTheRingsPlace)
{
    Start();
    POINT hub = RingHub(copy_.ring());
    DragWithLeftButton(hub, {hub.x + 400, hub.y + 300});
    // A logoff: the system ends the launcher once it has answered.
    ASSERT_TRUE(RunToTheEnd(L"wineboot.exe --end-session")) << "wineboot did not end";
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), SettingsFileWith({}, true, true, 400, 300));

    // A close message while the slot menu is open (taskkill without /f).
    Start();
    RightClick(Sector(4));
    ASSERT_NE(copy_.AwaitModal("#32768", nullptr), nullptr) << "no slot menu";
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), SettingsFileWith({}, true, true, 400, 300));
}

TEST_F(Journey, StartsAtTheSameMomentLeaveOneLauncher)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        HANDLE starts[3];
        for (HANDLE& start : starts)
            start = StartProgram(copy_.Path("zrondel.exe"));
        // The losers show the winner's ring and end; the winner runs on.
        std::vector<DWORD> codes;
        for (int waited = 0; waited < 15000; waited += 50) {
            codes.clear();
            for (HANDLE start : starts) {
                DWORD code = STILL_ACTIVE;
                GetExitCodeProcess(start, &code);
                codes.push_back(code);
            }
            if (std::count(codes.begin(), codes.end(), static_cast<DWORD>(-19)) == 2)
                break;
            Sleep(50);
        }
        EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<DWORD>(-19)), 2);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<DWORD>(STILL_ACTIVE)), 1);
        EXPECT_EQ(RingWindowCount(), 1);
        HWND ring = FindWindowA("ZR_Main_Window_Class", nullptr);
        ASSERT_NE(ring, nullptr);
        EXPECT_TRUE(IsWindowVisible(ring));
        PostMessageA(ring, WM_CLOSE, 0, 0);
        for (HANDLE start : starts) {
            if (WaitForSingleObject(start, 10000) != WAIT_OBJECT_0) {
                ADD_FAILURE() << "a launcher still runs";
                TerminateProcess(start, 1);
            }
            CloseHandle(start);
        }
    }
}

TEST_F(Journey, ARingSavedOffTheScreenComesBackWhole)
{
    const RECT area = WorkArea();
    ASSERT_TRUE(WriteSettings(SettingsFileWith({}, true, true, 3000, 2000)));
    Start();
    RECT place;
    GetWindowRect(copy_.ring(), &place);
    EXPECT_EQ(place.left, area.right - 200);
    EXPECT_EQ(place.top, area.bottom - 200);
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), SettingsFileWith({}, true, true, area.right - 200, area.bottom - 200));

    // A place whose centre shows stays exactly where the file says.
    ASSERT_TRUE(WriteSettings(SettingsFileWith({}, true, true, -50, -50)));
    Start();
    GetWindowRect(copy_.ring(), &place);
    EXPECT_EQ(place.left, -50);
    EXPECT_EQ(place.top, -50);
    // The display changes under it: back within reach.
    SetWindowPos(copy_.ring(), nullptr, 5000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(copy_.ring(), WM_DISPLAYCHANGE, 24, MAKELPARAM(area.right, area.bottom));
    Sleep(300);
    GetWindowRect(copy_.ring(), &place);
    EXPECT_EQ(place.left, area.right - 200);
    EXPECT_EQ(place.top, area.top);
}

TEST_F(Journey, WinShiftZOpensTheRingAtThePointerAndEscapeOrTheHotkeyHidesIt)
{
    UserValueGuard hotkey(kLauncherKey, kHotkeyValue); // no value: the default
    Start();
    HWND ring = copy_.ring();
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(false)) << "Win+Shift+Z left the ring on the screen";

    // Shown centred on the pointer and in front, where Escape reaches it.
    Approach({700, 500});
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(true)) << "Win+Shift+Z did not show the hidden ring";
    RECT bounds;
    GetWindowRect(ring, &bounds);
    EXPECT_EQ(bounds.left, 600);
    EXPECT_EQ(bounds.top, 400);
    EXPECT_EQ(GetForegroundWindow(), ring);
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(AwaitRingShown(false)) << "Escape did not hide the ring";

    // In a corner the whole ring stays on the work area.
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    Approach({work.right - 3, work.bottom - 8});
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(true)) << "Win+Shift+Z did not show the ring in the corner";
    GetWindowRect(ring, &bounds);
    EXPECT_EQ(bounds.right, work.right);
    EXPECT_EQ(bounds.bottom, work.bottom);
    EXPECT_EQ(bounds.left, work.right - 200);
    // A window that takes the focus makes Wine match its key state to the X
    // server's, which releases keys held only through SendInput: that comes
    // first, the held modifiers after it.
    Sleep(300);
    PressWinShiftZ();
    EXPECT_TRUE(AwaitRingShown(false)) << "Win+Shift+Z did not hide the shown ring";
}

TEST_F(Journey, TheHotkeyFromTheRegistryNoneForAnEmptyValueAndNoneWhenTaken)
{
    UserValueGuard hotkey(kLauncherKey, kHotkeyValue);
    ASSERT_TRUE(WriteHotkeyValue("ctrl+ALT+f9"));
    Start();
    PressWinShiftZ();
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(copy_.ring())) << "the default answered beside the registry's combination";
    PressCtrlAltF9();
    ASSERT_TRUE(AwaitRingShown(false)) << "Ctrl+Alt+F9 did not hide the ring";
    ASSERT_TRUE(ChooseFromTray(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);

    // An empty value: no hotkey at all.
    ASSERT_TRUE(WriteHotkeyValue(""));
    Start(); // hidden, as it was left
    PressWinShiftZ();
    PressCtrlAltF9();
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(copy_.ring())) << "a hotkey answered with an empty value";
    ASSERT_TRUE(ChooseFromTray(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);

    // Taken: no value means Win+Shift+Z, which this process holds now. The
    // launcher starts without a word and works on from the tray.
    DeleteUserValue(kLauncherKey, kHotkeyValue);
    const int kTestHotkey = 7;
    ASSERT_TRUE(RegisterHotKey(nullptr, kTestHotkey, MOD_WIN | MOD_SHIFT, 'Z'));
    Start();
    EXPECT_EQ(copy_.AwaitWindow(kMessageBox, nullptr, 1000), nullptr);
    PressWinShiftZ();
    Sleep(300);
    UnregisterHotKey(nullptr, kTestHotkey);
    EXPECT_FALSE(IsWindowVisible(copy_.ring())) << "the launcher took a combination held elsewhere";
    ClickTray();
    EXPECT_TRUE(AwaitRingShown(true)) << "the tray icon did not show the ring";
}

// The display at 150 %: run by scripts/test.sh in a Wine prefix of its own
// whose LogPixels is 144; skipped in every other.
TEST_F(Journey, InEnglishTheMenusReadInEnglishAndTheLanguageValueGivesRussian)
{
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_ENGLISH)
        GTEST_SKIP() << "the interface language is " << GetUserDefaultUILanguage() << " here, not English";
    LauncherRunValueGuard autostart; // unchecked, as both menus show it
    UserValueGuard language(kLauncherKey, "Language");
    // The editor's menu in a dialog just clicked into, with an empty clipboard.
    const struct {
        std::vector<std::wstring> mainMenu, contextMenu;
        const wchar_t* cancel;
    } english = {{L"About", L"-", L"Start with Windows", L"Don't hide", L"-", L"Exit", L"-", L"Show/Hide"},
                 {L"~Undo\tCtrl+Z", L"~Redo\tCtrl+Shift+Z", L"-", L"~Cut\tCtrl+X", L"~Copy\tCtrl+C",
                  L"~Paste\tCtrl+V", L"~Delete\tDel", L"-", L"Select All\tCtrl+A"},
                 L"Cancel"},
      russian = {{L"О программе", L"-", L"Автостарт", L"Не прятать", L"-", L"Выход", L"-", L"Показать/Скрыть"},
                 {L"~Отмена\tCtrl+Z", L"~Повторить\tCtrl+Shift+Z", L"-", L"~Вырезать\tCtrl+X",
                  L"~Копировать\tCtrl+C", L"~Вставить\tCtrl+V", L"~Удалить\tDel", L"-", L"Выделить все\tCtrl+A"},
                 L"Отмена"};
    ASSERT_TRUE(WriteSettings(SettingsFileWith({{0, recorder_, "", "", "recorder"}})));
    for (const auto* texts : {&english, &russian}) {
        SCOPED_TRACE(texts->cancel);
        Start();
        RightClick(RingHub(copy_.ring()));
        EXPECT_TRUE(MenuShows(copy_, texts->mainMenu)) << "the main menu";
        ASSERT_TRUE(ChooseForSlot(0, MENU_HINT));
        HWND dialog = copy_.AwaitModal(kHintDialogClass, nullptr);
        ASSERT_NE(dialog, nullptr);
        wchar_t cancel[16] = L"";
        InternalGetWindowText(GetDlgItem(dialog, 2), cancel, 16);
        EXPECT_STREQ(cancel, texts->cancel);
        ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
        POINT editor = Middle(FindWindowExA(dialog, nullptr, "LEditor", nullptr));
        LeftClick(editor);
        RightClick(editor);
        EXPECT_TRUE(MenuShows(copy_, texts->contextMenu)) << "the editor's menu";
        ClickDialogButton(dialog, 2);
        ASSERT_TRUE(copy_.AwaitNoWindow(kHintDialogClass, nullptr));
        PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
        EXPECT_EQ(copy_.AwaitExit(), 0u);
        ASSERT_TRUE(WriteUserValue(kLauncherKey, "Language", REG_SZ, std::string("ru", 3)));
    }
}

TEST_F(Journey, At144DpiTheRingItsTooltipAndTheHintDialogAreDrawnOneAndAHalfTimesAsLarge)
{
    const int kDpi = 144;
    SetProcessDPIAware(); // this process sees physical pixels too, and the display's DPI
    if (WindowDpi(nullptr) != kDpi)
        GTEST_SKIP() << "the display is at " << WindowDpi(nullptr) << " DPI here";
    ASSERT_TRUE(WriteSettings(SettingsFileWith({{0, recorder_, "", "", "Recorder at 150 %"}})));
    Start();
    HWND ring = copy_.ring();
    RECT bounds, expected = {0, 0, 300, 300};
    GetWindowRect(ring, &bounds);
    EXPECT_TRUE(EqualRect(&bounds, &expected)) << bounds.right << " x " << bounds.bottom;
    ScreenCapture idle;
    int otherPixels = 0;
    EXPECT_EQ(SectorsOnCircle(idle, ring, 49, &otherPixels), 8); // the inner ring, inside the icons
    EXPECT_EQ(SectorsOnCircle(idle, ring, 120, &otherPixels), 16);
    EXPECT_EQ(otherPixels, 0);

    // The pointer on the scaled sector lights that sector and no other.
    POINT middle = SectorMiddle(ring, 0, kDpi);
    Approach(middle);
    HWND tip = copy_.AwaitWindow(kToolTipClass, nullptr, 2000);
    ASSERT_NE(tip, nullptr) << "no tooltip";
    ScreenCapture lit;
    EXPECT_EQ(lit.pixel({middle.x - 18, middle.y}), kButtonHover);
    EXPECT_EQ(SectorsOnCircle(lit, ring, 49, &otherPixels), 7); // the others of the inner ring stay
    EXPECT_GT(otherPixels, 10);                                 // and slot 0 is lit
    EXPECT_EQ(lit.pixel(SectorMiddle(ring, 1, kDpi)), kButtonNormal); // the outer neighbour

    // The tooltip 15 pixels off the icon, which is drawn 48 high (green past 32) with 6 of padding.
    RECT tipBounds;
    GetWindowRect(tip, &tipBounds);
    EXPECT_EQ(tipBounds.left, middle.x);
    EXPECT_EQ(tipBounds.bottom, middle.y - 30);
    EXPECT_EQ(tipBounds.bottom - tipBounds.top, 54);
    int farGreen = 0;
    for (int x = tipBounds.left + 34; x < tipBounds.left + 49; ++x)
        for (int y = tipBounds.top + 1; y < tipBounds.bottom - 1; ++y)
            farGreen += GetGValue(lit.pixel({x, y})) > 150 && GetRValue(lit.pixel({x, y})) < 100;
    EXPECT_GT(farGreen, 10);
    lit.Save(BesideTestExe("runs") + "\\ring-144dpi.bmp");

    // The hint dialog 345 x 120 about the pointer, its editor and buttons scaled.
    RightClick(middle);
    ASSERT_TRUE(ChooseFromMenu(copy_, MENU_HINT));
    HWND dialog = copy_.AwaitModal(kHintDialogClass, nullptr);
    ASSERT_NE(dialog, nullptr) << "no hint dialog";
    RECT place, part;
    expected = {middle.x - 172, middle.y - 60, middle.x + 173, middle.y + 60};
    GetWindowRect(dialog, &place);
    EXPECT_TRUE(EqualRect(&place, &expected)) << place.left << "," << place.top << " " << place.right;
    GetWindowRect(FindWindowExA(dialog, nullptr, "EVButton", "Ok"), &part);
    expected = {place.left + 83, place.top + 68, place.left + 203, place.top + 113};
    EXPECT_TRUE(EqualRect(&part, &expected)) << "Ok at " << part.left << "," << part.top << " " << part.right;
    GetWindowRect(FindWindowExA(dialog, nullptr, "LEditor", nullptr), &part);
    EXPECT_EQ(std::make_pair(part.right - part.left, part.bottom - part.top), std::make_pair(240L, 35L));
    Approach({(part.left + part.right) / 2, (part.top + part.bottom) / 2}); // off the sector: no tooltip
    Sleep(300);
    ScreenCapture().Save(BesideTestExe("runs") + "\\editdlg-144dpi.bmp");
    ClickDialogButton(dialog, 2); // cancel
    EXPECT_TRUE(copy_.AwaitNoWindow(kHintDialogClass, nullptr));

    // The keys' main menu opens at the scaled ring's centre.
    Approach({bounds.left + 150, bounds.top + 150});
    SetForegroundWindow(ring);
    for (DWORD start = GetTickCount(); GetForegroundWindow() != ring && GetTickCount() - start < 2000;)
        PumpMessages(10);
    ASSERT_EQ(GetForegroundWindow(), ring) << "the ring did not come to the front";
    TapKey(VK_F10, VK_SHIFT);
    HWND menu = copy_.AwaitWindow("#32768", nullptr);
    ASSERT_NE(menu, nullptr) << "Shift+F10 opened no menu";
    GetWindowRect(menu, &place);
    EXPECT_EQ(std::make_pair(place.left, place.top), std::make_pair(bounds.left + 150, bounds.top + 150));
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(copy_.AwaitNoWindow("#32768", nullptr));
}

// A point of the slot's sector just inside its rim, clear of its icon.
POINT SectorRim(HWND ring, int slot)
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    double angle = layout[slot].startAngle + layout[slot].angularWidth / 2;
    POINT hub = RingHub(ring);
    int radius = layout[slot].outerRadius - 2;
    return {hub.x + static_cast<LONG>(radius * cos(angle)), hub.y - static_cast<LONG>(radius * sin(angle))};
}

// The windows of the focus events a screen reader hears from the launcher.
std::vector<HWND> focusEvents;
void CALLBACK HearFocus(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        focusEvents.push_back(window);
}

// What a screen reader reads of a window through Active Accessibility; with
// `press`, it does the default action too.
struct ReaderView {
    std::wstring name, value;
    LONG role, state;
};
ReaderView Read(HWND window, bool press = false)
{
    ReaderView view = {L"<no object>", L"", 0, 0};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return view;
    VARIANT self = {}, answer = {};
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    BSTR text = nullptr;
    view.name = object->get_accName(self, &text) == S_OK && text ? text : L"";
    SysFreeString(text);
    text = nullptr;
    view.value = object->get_accValue(self, &text) == S_OK && text ? text : L"";
    SysFreeString(text);
    view.role = SUCCEEDED(object->get_accRole(self, &answer)) ? V_I4(&answer) : 0;
    view.state = SUCCEEDED(object->get_accState(self, &answer)) ? V_I4(&answer) : 0;
    if (press)
        EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
    object->Release();
    return view;
}

TEST_F(Journey, TheHotkeyALetterAndEnterLaunchAndAScreenReaderFollowsTheChoice)
{
    UserValueGuard hotkey(kLauncherKey, kHotkeyValue); // the default
    ASSERT_TRUE(WriteSettings(
        SettingsFileWith({{2, recorder_, "", "", "Notes"}, {7, recorder_, "", "", "recorder"}}, true, false)));
    Start();
    HWND ring = copy_.ring();
    Approach({640, 500});
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(true)) << "Win+Shift+Z did not show the ring";
    Sleep(300); // the key state Wine matches when the ring takes the focus
    DeleteFileA(copy_.Path("recorder.log").c_str());
    TypeText("r");
    TapKey(VK_RETURN);
    EXPECT_EQ(copy_.AwaitRecord(), RecordOf(copy_.folder(), "hidden"));

    // A reader listens: a letter in the other case chooses "Notes", lit
    // with its tooltip as under the pointer; Right moves to the sector
    // clockwise of it, and the reader hears each move.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, HearFocus,
                                         copy_.processId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(true));
    Sleep(300);
    TypeText("n");
    EXPECT_NE(copy_.AwaitWindow(kToolTipClass, nullptr, 2000), nullptr) << "no tooltip for the choice";
    ScreenCapture chosen;
    EXPECT_EQ(chosen.pixel(SectorRim(ring, 2)), kButtonHover);
    EXPECT_EQ(chosen.pixel(SectorRim(ring, 1)), kButtonNormal);
    TapKey(VK_RIGHT);
    ScreenCapture moved;
    EXPECT_EQ(moved.pixel(SectorRim(ring, 2)), kButtonNormal);
    EXPECT_EQ(moved.pixel(SectorRim(ring, 1)), kButtonHover);
    for (DWORD start = GetTickCount(); focusEvents.size() < 2 && GetTickCount() - start < 2000;)
        PumpMessages(10);
    ASSERT_EQ(focusEvents.size(), 2u) << "the reader did not hear both moves";
    EXPECT_EQ(focusEvents[0], GetDlgItem(ring, 2));
    EXPECT_EQ(focusEvents[1], GetDlgItem(ring, 1));
    EXPECT_EQ(Read(focusEvents[1]).name, L"You mast define action!"); // as its tooltip
    UnhookWinEvent(hook);

    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        ReaderView view = Read(GetDlgItem(ring, slot));
        EXPECT_EQ(view.name, slot == 2 ? L"Notes" : slot == 7 ? L"recorder" : L"You mast define action!");
        EXPECT_EQ(view.role, ROLE_SYSTEM_PUSHBUTTON) << slot;
        EXPECT_EQ((view.state & STATE_SYSTEM_FOCUSED) != 0, slot == 1) << slot;
    }

    // Shift+F10 opens the slot menu at the chosen sector; its hint command
    // edits that slot, in a dialog the reader reads too.
    TapKey(VK_LEFT);
    TapKey(VK_F10, VK_SHIFT);
    HWND menu = copy_.AwaitModal("#32768", nullptr);
    ASSERT_NE(menu, nullptr) << "Shift+F10 opened no menu";
    RECT place;
    GetWindowRect(menu, &place);
    EXPECT_EQ(place.left, Sector(2).x - 10);
    EXPECT_EQ(place.top, Sector(2).y - 10);
    ASSERT_TRUE(ChooseFromMenu(copy_, MENU_HINT));
    HWND dialog = copy_.AwaitModal(kHintDialogClass, nullptr);
    ASSERT_NE(dialog, nullptr);
    GetWindowRect(dialog, &place); // centred where the menu opened, as after a right click there
    EXPECT_EQ(std::make_pair(place.left, place.top), std::make_pair(Sector(2).x - 125, Sector(2).y - 50));
    ReaderView editor = Read(FindWindowExA(dialog, nullptr, "LEditor", nullptr));
    EXPECT_EQ(editor.value, L"Notes");
    EXPECT_EQ(editor.role, ROLE_SYSTEM_TEXT);
    ReaderView ok = Read(GetDlgItem(dialog, 1)), cancel = Read(GetDlgItem(dialog, 2));
    EXPECT_EQ(ok.name + L"/" + cancel.name, L"Ok/\u041E\u0442\u043C\u0435\u043D\u0430"); // "Отмена"
    EXPECT_EQ(ok.role + cancel.role, 2 * ROLE_SYSTEM_PUSHBUTTON);
    // A hint emptied there leaves no text to the tooltip: the button's name
    // is then its number.
    ASSERT_TRUE(TypeOver(""));
    Read(GetDlgItem(dialog, 1), true); // Ok, pressed as a reader presses it
    ASSERT_TRUE(copy_.AwaitNoWindow(kHintDialogClass, nullptr));
    EXPECT_EQ(Read(GetDlgItem(ring, 2)).name, L"Slot 3");

    // Another window comes to the front: the keys' choice goes with its
    // tooltip, and the pointer on a sector then tells the reader of no focus.
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(false));
    PressWinShiftZ();
    ASSERT_TRUE(AwaitRingShown(true));
    Sleep(300);
    TypeText("r");
    ASSERT_NE(copy_.AwaitWindow(kToolTipClass, nullptr, 2000), nullptr) << "no tooltip for the choice";
    HWND other = CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    for (DWORD start = GetTickCount(); GetForegroundWindow() != other && GetTickCount() - start < 2000;)
        PumpMessages(10);
    ASSERT_EQ(GetForegroundWindow(), other) << "the other window did not come to the front";
    EXPECT_TRUE(copy_.AwaitNoWindow(kToolTipClass, nullptr)) << "the choice's tooltip stayed";
    focusEvents.clear();
    hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, HearFocus, copy_.processId(), 0,
                           WINEVENT_OUTOFCONTEXT);
    Approach(SectorRim(ring, 2));
    EXPECT_NE(copy_.AwaitWindow(kToolTipClass, nullptr, 2000), nullptr) << "no tooltip under the pointer";
    PumpMessages(300);
    EXPECT_TRUE(focusEvents.empty()) << "a focus event from a ring in the background";
    EXPECT_EQ(Read(GetDlgItem(ring, 2)).state & STATE_SYSTEM_FOCUSED, 0);
    UnhookWinEvent(hook);
    DestroyWindow(other);

    // The default action is the click.
    DeleteFileA(copy_.Path("recorder.log").c_str());
    Read(GetDlgItem(ring, 7), true);
    EXPECT_EQ(copy_.AwaitRecord(), RecordOf(copy_.folder(), "hidden"));
    CoUninitialize();
}

} // namespace

// A program's drag as Windows makes it: a data object holding each format's
// bytes, and a source that drops on the left button's release.
class DragData : public IDataObject, public IDropSource {
public:
    void Add(const char* format, const std::string& bytes)
    {
        FORMATETC offer = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(format)), nullptr, DVASPECT_CONTENT, -1,
                           TYMED_HGLOBAL};
        if (format == std::string("CF_HDROP") || format == std::string("CF_UNICODETEXT"))
            offer.cfFormat = format[3] == 'H' ? CF_HDROP : CF_UNICODETEXT;
        formats_.push_back(offer);
        bytes_.push_back(bytes);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        *object = nullptr;
        if (IsEqualIID(id, IID_IDropSource))
            *object = static_cast<IDropSource*>(this);
        else if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject))
            *object = static_cast<IDataObject*>(this);
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override
    {
        int i = Find(wanted);
        if (i < 0)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes_[i].size());
        memcpy(GlobalLock(medium->hGlobal), bytes_[i].data(), bytes_[i].size());
        GlobalUnlock(medium->hGlobal);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override { return Find(wanted) < 0 ? DV_E_FORMATETC : S_OK; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(formats_.size(), formats_.data(), formats) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    // The button as the system has it: the drag's thread never sees the
    // press, which came before it, nor the moves over another's window.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override
    {
        return escape ? DRAGDROP_S_CANCEL : GetAsyncKeyState(VK_LBUTTON) < 0 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override
    {
        POINT now;
        if (effect == DROPEFFECT_NONE && GetCursorPos(&now) && abs(now.x - at.x) + abs(now.y - at.y) <= 2)
            InterlockedIncrement(&refusalsAt);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

    DWORD effect = DROPEFFECT_NONE; // what the target answered at the drop
    POINT at = {-1, -1};            // where the drag is carried
    volatile LONG refusalsAt = 0;   // the target's "no drop" answers there

private:
    int Find(const FORMATETC* wanted) const
    {
        for (size_t i = 0; i < formats_.size(); ++i)
            if (formats_[i].cfFormat == wanted->cfFormat && (wanted->tymed & TYMED_HGLOBAL))
                return static_cast<int>(i);
        return -1;
    }
    std::vector<FORMATETC> formats_;
    std::vector<std::string> bytes_;
};

DWORD WINAPI RunDrag(void* parameter)
{
    DragData* data = static_cast<DragData*>(parameter);
    OleInitialize(nullptr);
    DoDragDrop(data, data, DROPEFFECT_COPY | DROPEFFECT_LINK, &data->effect);
    OleUninitialize();
    return 0;
}

std::string WideBytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

// A dropped file list of the names, each ending in its zero.
std::string FileList(const std::wstring& names)
{
    DROPFILES header = {sizeof header, {0, 0}, FALSE, TRUE};
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + WideBytes(names);
}

// The pressed left button carries the data from rest onto the point, where
// the drag's thread drops it once the sector under it shows lit: whether it
// did within 10 s, and the target took it as `effect`.
bool DragOnto(POINT at, DragData* data, DWORD effect)
{
    MovePointerTo(kRestingPointer.x, kRestingPointer.y);
    PressButton(LEFT_BUTTON);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunDrag, data, 0, &id);
    GUITHREADINFO drag = {sizeof drag};
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && !drag.hwndCapture; Sleep(20))
        GetGUIThreadInfo(id, &drag);
    EXPECT_NE(drag.hwndCapture, nullptr) << "the drag's loop never took the pointer";
    data->at = at;
    ApproachPointer(at.x, at.y);
    // A drag the ring takes lights the sector; one it cannot take is told "no drop" there, twice.
    const bool refused = effect == DROPEFFECT_NONE;
    bool lit = false;
    for (DWORD start = GetTickCount(); !lit && GetTickCount() - start < 5000; Sleep(50))
        lit = refused ? data->refusalsAt >= 2 : ScreenPixel({at.x - 12, at.y}) == kButtonHover;
    EXPECT_TRUE(lit) << (refused ? "no \"no drop\" over the sector" : "the sector under the drag was not lit");
    ReleaseButton(LEFT_BUTTON);
    bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    EXPECT_TRUE(ended) << "the drag did not end";
    return lit && ended && data->effect == effect;
}

TEST_F(Journey, ALinkAndThisPcDraggedOntoSectorsAreKeptAndTheLinkOpensInTheBrowser)
{
    // Wine opens links with the first of these Linux programs: here a
    // script that notes the link beside the launcher.
    UserValueGuard browsers("Software\\Wine\\WineBrowser", "Browsers");
    const std::string noted = copy_.Path("browser.log");
    ASSERT_TRUE(WriteWholeFile(copy_.Path("browser.sh"), "printf '%s' \"$1\" > '" + UnixPathOf(noted) + "'\n"));
    ASSERT_TRUE(WriteUserValue("Software\\Wine\\WineBrowser", "Browsers", REG_SZ,
                               "/bin/sh " + UnixPathOf(copy_.Path("browser.sh")) + '\0'));
    Start();

    // What cannot become a slot changes nothing, and the launcher stays: a
    // short descriptor beside a link, offsets past the end, a plain sentence,
    // a link that runs code (refused in a box) and several places at once.
    const UINT pastTheEnd[3] = {1, 3 * sizeof(UINT), 4000}, twoItems[4] = {2, 4 * sizeof(UINT), 16, 16};
    DragData shortTitle, badItems, sentence, msdt, places;
    shortTitle.Add("UniformResourceLocatorW", WideBytes(L"https://example.org/short"));
    shortTitle.Add("FileGroupDescriptorW", std::string("\1\0\0\0", 4) + std::string(36, 'x'));
    badItems.Add("Shell IDList Array", std::string(reinterpret_cast<const char*>(pastTheEnd), 12) + std::string(2, '\0'));
    sentence.Add("CF_UNICODETEXT", WideBytes(L"Drop me on a sector"));
    for (DragData* refused : {&shortTitle, &badItems, &sentence})
        EXPECT_TRUE(DragOnto(Sector(3), refused, DROPEFFECT_NONE));
    msdt.Add("UniformResourceLocatorW", WideBytes(L"ms-msdt:-id%20PCWDiagnostic"));
    places.Add("Shell IDList Array", std::string(reinterpret_cast<const char*>(twoItems), 16) + std::string(2, '\0'));
    HWND box = nullptr;
    for (DragData* refused : {&msdt, &places}) {
        ASSERT_TRUE(DragOnto(Sector(3), refused, DROPEFFECT_LINK));
        EXPECT_EQ(MessageBoxText("[Z]Rondel", &box), refused == &places ? "Drop one item at a time." :
                  "This link was not taken: a \"ms-msdt:\" link can run code on this computer.");
        TapKey(VK_RETURN);
        EXPECT_TRUE(copy_.AwaitNoWindow(kMessageBox, "[Z]Rondel"));
    }
    EXPECT_FALSE(FileExists(copy_.settingsPath())) << "a drag that became no slot wrote the table";

    const char link[] = "https://example.org/zrondel?journey=1";
    DragData page;
    page.Add("text/x-moz-url", WideBytes(L"https://example.org/zrondel?journey=1\nA journey page"));
    page.Add("CF_HDROP", FileList(L"")); // Wine's empty list beside it
    ASSERT_TRUE(DragOnto(Sector(3), &page, DROPEFFECT_LINK));
    std::string withLink = SettingsFileWith({{3, link, "", "", "A journey page"}});
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), ""), withLink);

    // This PC as the shell drags it: the desktop, and the item below it.
    const wchar_t thisPc[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    LPITEMIDLIST item = nullptr;
    ASSERT_EQ(SHParseDisplayName(thisPc, nullptr, &item, 0, nullptr), S_OK);
    // Its names as the shell gives them: the parsing one kept, the shown one the hint.
    char pc[MAX_PATH], hint[MAX_PATH];
    for (char* name : {pc, hint}) {
        wchar_t* given = nullptr;
        ASSERT_EQ(SHGetNameFromIDList(item, name == pc ? SIGDN_DESKTOPABSOLUTEPARSING : SIGDN_NORMALDISPLAY, &given), S_OK);
        WideCharToMultiByte(CP_ACP, 0, given, -1, name, MAX_PATH, nullptr, nullptr);
        CoTaskMemFree(given);
    }
    const UINT offsets[3] = {1, 3 * sizeof(UINT), 3 * sizeof(UINT) + 2};
    std::string items(reinterpret_cast<const char*>(offsets), sizeof offsets);
    items += std::string(2, '\0') + std::string(reinterpret_cast<const char*>(item), ILGetSize(item));
    ILFree(item);
    DragData place;
    place.Add("Shell IDList Array", items);
    ASSERT_TRUE(DragOnto(Sector(4), &place, DROPEFFECT_LINK));
    const std::string both = SettingsFileWith({{3, link, "", "", "A journey page"}, {4, pc, "", "", hint}});
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), withLink), both);

    // A file through the same target: a dropped file list, as ever.
    DragData files;
    files.Add("CF_HDROP", FileList(std::wstring(recorder_.begin(), recorder_.end()) + L'\0'));
    ASSERT_TRUE(DragOnto(Sector(5), &files, DROPEFFECT_COPY));
    const std::string all = SettingsFileWith({{3, link, "", "", "A journey page"},
        {4, pc, "", "", hint}, {5, recorder_, "", "", "recorder"}});
    EXPECT_EQ(AwaitFileChange(copy_.settingsPath(), both), all);

    // Kept after a restart, and the link opened by the browser.
    ASSERT_TRUE(ChooseFromFace(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    Start();
    LeftClick(Sector(3));
    std::string opened;
    for (DWORD start = GetTickCount(); opened.empty() && GetTickCount() - start < 10000; Sleep(100))
        opened = FileExists(noted) ? ReadWholeFile(noted) : "";
    EXPECT_EQ(opened, link) << "the browser was not started with the link";
    ClickTray(); // the launch hid the ring
    ASSERT_TRUE(AwaitRingShown(true));
    ASSERT_TRUE(ChooseFromFace(MENU_EXIT));
    EXPECT_EQ(copy_.AwaitExit(), 0u);
    EXPECT_EQ(Settings(), all);
}

namespace {

// Pixels of the 20 x 20 icon in the slot's sector that are not the sector's own colour.
int IconPixels(HWND ring, int slot)
{
    const POINT middle = SectorMiddle(ring, slot);
    ScreenCapture screen;
    int drawn = 0;
    for (int y = middle.y - 10; y < middle.y + 10; ++y)
        for (int x = middle.x - 10; x < middle.x + 10; ++x)
            drawn += screen.pixel({x, y}) != kButtonNormal;
    return drawn;
}

bool AwaitFile(const std::string& path, bool there, DWORD wait)
{
    for (DWORD start = GetTickCount(); FileExists(path) != there && GetTickCount() - start < wait;)
        Sleep(50);
    return FileExists(path) == there;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

} // namespace

// A slot on a drive that stops answering (a FUSE file system that waits
// while its gate is closed, mapped as S:): the ring starts, hovers and takes
// a click at once; once the drive answers, the click's program starts and
// the slot gets its program's icon.
TEST_F(Journey, OnADriveThatStopsAnsweringTheRingStaysLiveAndTheIconAndProgramComeLater)
{
    if (!FileExists("Z:\\usr\\lib\\python3\\dist-packages\\fusepy.py"))
        GTEST_SKIP() << "no silent drive here: python3-fusepy is missing";
    const std::string drive = copy_.Path("drive"), mount = copy_.Path("mount"), gate = copy_.Path("gate");
    CreateDirectoryA(drive.c_str(), nullptr);
    CreateDirectoryA(mount.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(recorder_.c_str(), (drive + "\\recorder.exe").c_str(), FALSE));
    ASSERT_TRUE(RunLinuxProgram("/usr/bin/setsid", L"-f /usr/bin/python3 \"" + Wide(UnixPathOf(BesideTestExe("silent_drive.py"))) +
                                L"\" \"" + Wide(UnixPathOf(drive)) + L"\" \"" + Wide(UnixPathOf(mount)) + L"\" \"" +
                                Wide(UnixPathOf(gate)) + L"\"", 0));
    // Wine shows no Linux device files: a missing /dev/fuse shows as no mount.
    if (!AwaitFile(mount + "\\recorder.exe", true, 10000))
        GTEST_SKIP() << "no silent drive here: FUSE could not mount (is /dev/fuse missing?)";
    struct Unmount {
        std::wstring mount;
        ~Unmount() { MapDrive('S', L""), RunLinuxProgram("/bin/umount", L"-l \"" + mount + L"\"", 10000); }
    } unmount = {Wide(UnixPathOf(mount))};
    ASSERT_TRUE(MapDrive('S', Wide(mount))); // while it still answers
    // The drive opens its gate itself after 12 s: Wine's server may wait on
    // the drive once a worker asks, and then no program of the prefix can move.
    ASSERT_TRUE(WriteWholeFile(gate, "12000"));
    ASSERT_TRUE(WriteSettings(SettingsFileWith({{0, recorder_, "", "", "recorder"}, {1, "S:\\recorder.exe", "", "", "Silent"}})));

    const DWORD started = GetTickCount();
    Start();
    EXPECT_LT(GetTickCount() - started, 5000u) << "the start waited for the silent drive";
    EXPECT_EQ(IconPixels(copy_.ring(), 1), 0) << "an icon before the drive answered";
    EXPECT_NE(HoverOver(1), nullptr) << "no tooltip while the drive is silent";
    LeftClick(Sector(1));
    DWORD_PTR result;
    const DWORD clicked = GetTickCount();
    EXPECT_TRUE(SendMessageTimeoutA(copy_.ring(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result));
    printf("a sent message answered %lu ms after the click on the silent slot\n", GetTickCount() - clicked);
    EXPECT_TRUE(AwaitRingShown(false)) << "the ring did not hide after the click";

    ASSERT_TRUE(AwaitFile(gate, false, 30000)) << "the drive did not answer again";
    const DWORD released = GetTickCount();
    // The recorder writes its record beside itself, on the drive.
    EXPECT_TRUE(AwaitFile(drive + "\\recorder.log", true, 10000)) << "the program did not start once the drive answered";
    ClickTray();
    ASSERT_TRUE(AwaitRingShown(true)) << "the tray did not bring the ring back";
    MovePointerTo(kRestingPointer.x, kRestingPointer.y);
    while (IconPixels(copy_.ring(), 1) == 0 && GetTickCount() - released < 5000)
        Sleep(50);
    printf("the icon came %lu ms after the drive answered\n", GetTickCount() - released);
    EXPECT_EQ(IconPixels(copy_.ring(), 1), IconPixels(copy_.ring(), 0)) << "not the program's icon within 5 s";
    PostMessageA(copy_.ring(), WM_CLOSE, 0, 0);
    EXPECT_EQ(copy_.AwaitExit(), 0u);
}
