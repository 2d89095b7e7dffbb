// The launcher started inside the test process: the ring window as start-up
// makes it, its messages, the tooltip it places, what closing writes, and
// what a run leaves behind.
#include "app/ringwnd.h"

#include <gtest/gtest.h>

#include <string>

#include "app/hotkey.h"
#include "app/launcher.h"
#include "app/slotcmds.h"
#include "app/target_worker.h"
#include "res/resource.h"
#include "ring/vbutton.h"
#include "settings/file_on_disk.h"
#include "tests/common/layout_sector.h"
#include "tests/native/settings_bytes.h"
#include "tests/win/support/gui_objects.h"
#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/message_boxes.h"
#include "tests/win/support/pixels.h"
#include "tests/win/support/ring_fixture.h"

namespace {

const COLORREF kSkyBlue = 0x00FFCC66;
const COLORREF kButtonNormal = RGB(0, 136, 204);
const COLORREF kButtonHover = RGB(85, 170, 255);

LRESULT SendHover(bool show, int slot, POINT at = {0, 0})
{
    SlotHoverInfo hover = {show, slot, at.x, at.y};
    return SendMessageA(ringWindow.window, UM_SLOTHOVER, 0, reinterpret_cast<LPARAM>(&hover));
}

using RingWindowTest = RingFixture;


TEST_F(RingWindowTest, FirstStartShowsAnEmptyRoundRingAtTheTopLeft)
{
    Start();
    HWND ring = ringWindow.window;
    EXPECT_EQ(FindWindowA("ZR_Main_Window_Class", "Ta[V]en Software [Z] Rondel"), ring);
    EXPECT_TRUE(IsWindowVisible(ring));
    RECT bounds = WindowRect(ring);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 200);
    EXPECT_EQ(bounds.bottom, 200);
    EXPECT_EQ(GetWindowLongA(ring, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME),
              static_cast<LONG>(WS_POPUP));
    EXPECT_TRUE(GetWindowLongA(ring, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(ring, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(ringWindow.currentSlot, -1);
    EXPECT_TRUE(launcherSettings.hideAfterLaunch);
    EXPECT_TRUE(launcherSettings.showAtStart);

    // Shaped to the inscribed ellipse.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(ring, shape), ERROR);
    EXPECT_TRUE(PtInRegion(shape, 100, 100));
    EXPECT_TRUE(PtInRegion(shape, 100, 1));
    EXPECT_TRUE(PtInRegion(shape, 1, 100));
    EXPECT_FALSE(PtInRegion(shape, 2, 2));
    EXPECT_FALSE(PtInRegion(shape, 197, 197));
    DeleteObject(shape);

    // 24 empty slots, each with its button on its own sector.
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        SCOPED_TRACE(slot);
        const LauncherSlot& entry = launcher.slots[slot];
        EXPECT_EQ(entry.index, slot);
        EXPECT_EQ(entry.target, nullptr);
        EXPECT_EQ(entry.hint, nullptr);
        EXPECT_EQ(entry.icon, nullptr);
        ASSERT_EQ(GetParent(entry.button), ring);
        EXPECT_EQ(GetDlgCtrlID(entry.button), slot);
        int left, top;
        RingSector expected = LayoutSector(slot, &left, &top);
        const RingSector& actual = ButtonState(slot)->sector;
        EXPECT_EQ(actual.startAngle, expected.startAngle);
        EXPECT_EQ(actual.innerRadius, expected.innerRadius);
        EXPECT_EQ(actual.outerRadius, expected.outerRadius);
        POINT origin = {0, 0};
        MapWindowPoints(entry.button, ring, &origin, 1);
        EXPECT_EQ(origin.x, left);
        EXPECT_EQ(origin.y, top);
    }

    // The tooltip: hidden, owned by the ring.
    ASSERT_NE(ringWindow.toolTip, nullptr);
    EXPECT_EQ(GetWindow(ringWindow.toolTip, GW_OWNER), ring);
    EXPECT_FALSE(IsWindowVisible(ringWindow.toolTip));

    // Both menus are loaded; "do not hide" starts unchecked.
    ASSERT_NE(launcher.mainMenu, nullptr);
    ASSERT_NE(launcher.slotMenu, nullptr);
    EXPECT_EQ(GetMenuState(launcher.mainMenu, IDM_NOHIDE, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(launcher.slotMenu, IDM_CHOOSEFILE, MF_BYCOMMAND), 0xFFFFFFFFu);
}

TEST_F(RingWindowTest, TheFaceIsCaptionAndShowsTheClassBrush)
{
    Start();
    EXPECT_EQ(SendMessageA(ringWindow.window, WM_NCHITTEST, 0, MAKELPARAM(100, 100)), HTCAPTION);
    EXPECT_EQ(ScreenPixel({100, 100}), kSkyBlue);          // the centre disc
    EXPECT_EQ(ScreenPixel(SlotIconAnchor(0)), kButtonNormal); // a sector's top-left icon pixel, no icon
}

TEST_F(RingWindowTest, DraggingTheFaceMovesTheWindow)
{
    Start();
    DragWithLeftButton({100, 100}, {250, 200});
    RECT bounds = WindowRect(ringWindow.window);
    EXPECT_EQ(bounds.left, 150);
    EXPECT_EQ(bounds.top, 100);
}

TEST_F(RingWindowTest, ClosingWritesPlaceAndVisibilityOfThatMoment)
{
    Start();
    MoveWindow(ringWindow.window, 310, 220, 200, 200, TRUE);
    ShowWindow(ringWindow.window, SW_HIDE);
    EXPECT_EQ(StopTestLauncher(), 0);
    EXPECT_EQ(ReadWholeFile(settings_).size(), 120u); // 24 empty slots and the trailer
    LauncherSettings saved = Saved();
    EXPECT_FALSE(saved.showAtStart);
    EXPECT_EQ(saved.windowLeft, 310);
    EXPECT_EQ(saved.windowTop, 220);

    // The next start begins hidden where the ring was.
    Start();
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
    EXPECT_EQ(WindowRect(ringWindow.window).left, 310);
    EXPECT_EQ(WindowRect(ringWindow.window).top, 220);
}

TEST_F(RingWindowTest, ExitCommandClosesLikeTheCloseMessage)
{
    Start();
    MoveWindow(ringWindow.window, 40, 30, 200, 200, TRUE);
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ringWindow.window, nullptr);
    EXPECT_EQ(StopTestLauncher(), 0);
    LauncherSettings saved = Saved();
    EXPECT_TRUE(saved.showAtStart);
    EXPECT_EQ(saved.windowLeft, 40);
    EXPECT_EQ(saved.windowTop, 30);
}

TEST_F(RingWindowTest, ASecondStartShowsTheFirstRingAndTouchesNothing)
{
    Start();
    ShowWindow(ringWindow.window, SW_HIDE);
    unsigned windows = CountThreadWindows();
    EXPECT_EQ(StartLauncher(GetModuleHandleA(nullptr)), EXIT_ALREADY_RUNNING);
    EXPECT_TRUE(IsWindowVisible(ringWindow.window));
    EXPECT_EQ(CountThreadWindows(), windows);
    EXPECT_FALSE(FileExists(settings_));
}

// Every way the ring comes up (the hotkey's sends no WM_SHOWWINDOW) takes another copy's save.
TEST_F(RingWindowTest, EveryShowTakesAnotherCopysSave)
{
    const struct { const char* way; void (*show)(); } ways[] = {
        {"hotkey", [] { ToggleRingAtPointer(ringWindow.window); }},
        {"middle button", [] { SendMessageA(ringWindow.window, WM_MBUTTONUP, 0, MAKELPARAM(300, 300)); }},
        {"tray and menu", [] { SendMessageA(ringWindow.window, WM_COMMAND, IDM_SHOWHIDE, 0); }},
        {"second start", [] { StartLauncher(GetModuleHandleA(nullptr)); }}};
    Start();
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(ways[i].way);
        ShowWindow(ringWindow.window, SW_HIDE);
        ASSERT_TRUE(WriteWholeFile(settings_, SettingsFileWith({{i, BesideTestExe("recorder.exe"), "", "", "theirs"}})));
        ways[i].show();
        EXPECT_TRUE(IsWindowVisible(ringWindow.window));
        EXPECT_STREQ(launcher.slots[i].hint, "theirs");
    }
}

TEST_F(RingWindowTest, AVersionTwoFileStartsHiddenAtTheOrigin)
{
    ASSERT_TRUE(WriteWholeFile(settings_, SettingsBytes().Magic("ZRondelV2").Int32(0).str()));
    Start();
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
    EXPECT_EQ(WindowRect(ringWindow.window).left, 0);
    EXPECT_EQ(WindowRect(ringWindow.window).top, 0);
    EXPECT_EQ(GetMenuState(launcher.mainMenu, IDM_NOHIDE, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(RingWindowTest, StoredTargetsGetTheirIconsAndDoNotHideIsChecked)
{
    const std::string target = BesideTestExe("recorder.exe");
    SettingsBytes file;
    file.Magic("ZRondelV3").Int32(2).Int32(0).Entry(target, "", "", "Recorder"); // slot 0 empty
    ASSERT_TRUE(WriteWholeFile(settings_, file.Trailer(false, true, 50, 60).str()));
    MessageBoxAnswerer answerer;
    Start();
    for (const SeenMessageBox& box : answerer.seen())
        ADD_FAILURE() << box.caption << ": " << box.text;
    EXPECT_NE(launcher.slots[1].icon, nullptr);
    EXPECT_EQ(ButtonState(1)->icon, launcher.slots[1].icon);
    EXPECT_EQ(launcher.slots[0].icon, nullptr);
    EXPECT_STREQ(launcher.slots[1].hint, "Recorder");
    EXPECT_EQ(WindowRect(ringWindow.window).left, 50);
    EXPECT_NE(GetMenuState(launcher.mainMenu, IDM_NOHIDE, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(RingWindowTest, ClickOnAnEmptySlotIsAnsweredWithAMessageBox)
{
    Start();
    MessageBoxAnswerer answerer;
    EXPECT_EQ(SendMessageA(ringWindow.window, UM_SLOTCLICK, 5, reinterpret_cast<LPARAM>(ringWindow.window)), 0);
    ASSERT_EQ(answerer.seen().size(), 1u);
    const SeenMessageBox& box = answerer.seen()[0];
    EXPECT_EQ(box.text, "You mast define action for this button.");
    EXPECT_EQ(box.caption, "VButton Clicked!");
    EXPECT_EQ(box.owner, ringWindow.window);
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_INFORMATION));
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(ringWindow.currentSlot, 5);
    EXPECT_TRUE(IsWindowVisible(ringWindow.window));
}

TEST_F(RingWindowTest, ClickOnADefinedSlotHidesTheRingThenStartsTheTarget)
{
    Start();
    ReplaceText(&launcher.slots[2].target, BesideTestExe("recorder.exe").c_str());
    SendMessageA(ringWindow.window, UM_SLOTCLICK, 2, 0);
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
    EXPECT_EQ(ringWindow.currentSlot, 2);
    std::string record = AwaitRecord(recorderLog_);
    EXPECT_NE(record.find("ring=hidden"), std::string::npos) << record;
}

TEST_F(RingWindowTest, WithDoNotHideTheRingStaysAfterALaunch)
{
    Start();
    launcherSettings.hideAfterLaunch = false;
    ReplaceText(&launcher.slots[2].target, BesideTestExe("recorder.exe").c_str());
    SendMessageA(ringWindow.window, UM_SLOTCLICK, 2, 0);
    EXPECT_TRUE(IsWindowVisible(ringWindow.window));
    std::string record = AwaitRecord(recorderLog_);
    EXPECT_NE(record.find("ring=visible"), std::string::npos) << record;
}

TEST_F(RingWindowTest, HoverPlacesTheTooltipAboveAndRightOfTheIcon)
{
    Start();
    ReplaceText(&launcher.slots[3].hint, "Notepad");
    HWND tip = ringWindow.toolTip;
    EXPECT_EQ(SendHover(true, 3, {400, 300}), 0);
    ASSERT_TRUE(IsWindowVisible(tip));
    RECT client;
    GetClientRect(tip, &client);
    RECT bounds = WindowRect(tip);
    EXPECT_EQ(bounds.left, 410);
    EXPECT_EQ(bounds.top, 300 - client.bottom - 10);
    EXPECT_EQ(bounds.bottom, 290);
    EXPECT_NE(GetActiveWindow(), tip);

    EXPECT_EQ(SendHover(false, 3), 0);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(RingWindowTest, HoverWithoutHintOrIconShowsNothingAndAnIconAloneShows)
{
    Start();
    HWND tip = ringWindow.toolTip;
    SendHover(true, 4, {300, 300});
    EXPECT_FALSE(IsWindowVisible(tip));
    ReplaceText(&launcher.slots[4].hint, "");
    SendHover(true, 4, {300, 300});
    EXPECT_FALSE(IsWindowVisible(tip));

    HICON icon = MakeSolidIcon(RGB(255, 0, 0));
    launcher.slots[4].icon = icon;
    SendHover(true, 4, {300, 300});
    EXPECT_TRUE(IsWindowVisible(tip));
    RECT client;
    GetClientRect(tip, &client);
    EXPECT_EQ(client.bottom, 36); // the icon's 32 and the margin
    SendHover(false, 4);
    launcher.slots[4].icon = nullptr;
    DestroyIcon(icon);
}

TEST_F(RingWindowTest, HoverMessagesWithoutARecordOrSlotAreRefused)
{
    Start();
    EXPECT_EQ(SendMessageA(ringWindow.window, UM_SLOTHOVER, 0, 0), -1);
    EXPECT_EQ(SendHover(true, SLOT_COUNT, {10, 10}), -1);
    EXPECT_EQ(SendHover(true, -1, {10, 10}), -1);
    EXPECT_FALSE(IsWindowVisible(ringWindow.toolTip));
    MessageBoxAnswerer answerer;
    SendMessageA(ringWindow.window, UM_SLOTCLICK, SLOT_COUNT, 0);
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_EQ(ringWindow.currentSlot, -1);
}

TEST_F(RingWindowTest, HidingTheRingHidesTheTooltip)
{
    Start();
    ReplaceText(&launcher.slots[0].hint, "Shown");
    SendHover(true, 0, {400, 400});
    ASSERT_TRUE(IsWindowVisible(ringWindow.toolTip));
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_SHOWHIDE, 0);
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
    EXPECT_FALSE(IsWindowVisible(ringWindow.toolTip));
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_SHOWHIDE, 0);
    EXPECT_TRUE(IsWindowVisible(ringWindow.window));
    EXPECT_FALSE(IsWindowVisible(ringWindow.toolTip));
}

TEST_F(RingWindowTest, MiddleButtonHidesOnlyWhenHidingIsOn)
{
    Start();
    HWND ring = ringWindow.window;
    launcherSettings.hideAfterLaunch = false;
    SendMessageA(ring, WM_NCMBUTTONUP, HTCAPTION, MAKELPARAM(100, 100));
    EXPECT_TRUE(IsWindowVisible(ring));
    launcherSettings.hideAfterLaunch = true;
    SendMessageA(ring, WM_NCMBUTTONUP, HTCAPTION, MAKELPARAM(100, 100));
    EXPECT_FALSE(IsWindowVisible(ring));

    // While hidden, either message brings it back centred on the point.
    SendMessageA(ring, WM_MBUTTONUP, 0, MAKELPARAM(600, 500));
    EXPECT_TRUE(IsWindowVisible(ring));
    EXPECT_EQ(WindowRect(ring).left, 500);
    EXPECT_EQ(WindowRect(ring).top, 400);
}

TEST_F(RingWindowTest, RealMiddleClickOnTheFaceHidesTheRing)
{
    Start();
    ClickAt(100, 100, MIDDLE_BUTTON);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
}

TEST_F(RingWindowTest, ChangedSlotSavesTheSettings)
{
    Start();
    EXPECT_EQ(SendMessageA(ringWindow.window, UM_SLOTCHANGED, 0, 0), -1);
    EXPECT_FALSE(FileExists(settings_));
    ReplaceText(&launcher.slots[7].target, BesideTestExe("recorder.exe").c_str());
    ReplaceText(&launcher.slots[7].hint, "Edited");
    EXPECT_EQ(SendMessageA(ringWindow.window, UM_SLOTCHANGED, 0, reinterpret_cast<LPARAM>(&launcher.slots[7])), 1);
    std::string bytes = ReadWholeFile(settings_);
    EXPECT_NE(bytes.find("Edited"), std::string::npos);
}

TEST_F(RingWindowTest, RealPointerOverASectorLightsItAndShowsTheTooltipBesideIt)
{
    Start();
    ReplaceText(&launcher.slots[1].hint, "Outer sector");
    POINT anchor = SlotIconAnchor(1);
    POINT middle = {anchor.x + 10, anchor.y + 10};
    EXPECT_EQ(ScreenPixel(middle), kButtonNormal);
    MovePointerTo(middle.x, middle.y);
    EXPECT_EQ(ScreenPixel(middle), kButtonHover);

    HWND tip = ringWindow.toolTip;
    ASSERT_TRUE(IsWindowVisible(tip));
    RECT client, bounds = WindowRect(tip);
    GetClientRect(tip, &client);
    EXPECT_EQ(bounds.left, anchor.x + 10);
    EXPECT_EQ(bounds.bottom, anchor.y - 10);
    HDC dc = GetDC(tip);
    HGDIOBJ old = SelectObject(dc, ringWindow.font);
    SIZE text;
    GetTextExtentPoint32A(dc, "Outer sector", 12, &text);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(tip, dc);
    EXPECT_EQ(client.right, text.cx + 4 * metrics.tmAveCharWidth);
    EXPECT_EQ(client.bottom, text.cy + 4);
    EXPECT_EQ(ScreenPixel({bounds.left + 1, bounds.top + 1}), kSkyBlue);

    MovePointerTo(100, 100); // the centre disc
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(ScreenPixel(middle), kButtonNormal);
}

TEST_F(RingWindowTest, ThousandHoverPressReleaseCyclesLeakNothing)
{
    Start();
    ReplaceText(&launcher.slots[1].hint, "Cycles");
    HWND button = launcher.slots[1].button;
    const VButtonState* state = ButtonState(1);
    const LPARAM inside = MAKELPARAM(state->sector.iconX + 10, state->sector.iconY + 10);
    SendMessageA(button, WM_MOUSEMOVE, 0, inside); // the first showing may fill caches
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    const unsigned gdi = CountGdiObjects();
    const unsigned windows = CountThreadWindows();
    for (int i = 0; i < 1000; ++i) {
        SendMessageA(button, WM_MOUSEMOVE, 0, inside);
        SendMessageA(button, WM_RBUTTONDOWN, 0, inside);
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
        SendMessageA(button, WM_RBUTTONUP, 0, MAKELPARAM(0, 0)); // released off: no menu
    }
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountThreadWindows(), windows);
    EXPECT_FALSE(IsWindowVisible(ringWindow.toolTip));
}

TEST_F(RingWindowTest, StartingAndStoppingTheRingLeavesNothingBehind)
{
    Start();
    EXPECT_EQ(StopTestLauncher(), 0); // the first run may fill caches
    const unsigned gdi = CountGdiObjects();
    const unsigned windows = CountThreadWindows();
    for (int run = 0; run < 3; ++run) {
        Start();
        EXPECT_EQ(StopTestLauncher(), 0);
        EXPECT_EQ(CountGdiObjects(), gdi) << "run " << run;
        EXPECT_EQ(CountThreadWindows(), windows) << "run " << run;
    }
    WNDCLASSA unused;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "ZR_Main_Window_Class", &unused));
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "ZR_ToolTip_Class", &unused));
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "VButton", &unused));
}

} // namespace

// Dragged onto a monitor of 150 % and back: at 96 DPI every button is as it was.
TEST_F(RingWindowTest, AScaleChangeMakesTheRingAgainAndBackAt96DpiAsBefore)
{
    Start();
    RECT before = WindowRect(launcher.slots[1].button);
    for (int dpi : {144, static_cast<int>(BASE_DPI)}) {
        RECT suggested = {40, 30, 40 + Scale(200, dpi), 30 + Scale(200, dpi)};
        SendMessageA(ringWindow.window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT ring = WindowRect(ringWindow.window);
        EXPECT_TRUE(EqualRect(&ring, &suggested)) << dpi;
        EXPECT_EQ(WindowRect(launcher.slots[1].button).right - ring.left, dpi == 144 ? 292 : 194);
    }
    RECT after = WindowRect(launcher.slots[1].button);
    OffsetRect(&before, 40, 30);
    EXPECT_TRUE(EqualRect(&after, &before));
    EXPECT_EQ(ButtonState(1)->sector.iconX, 8); // the worked anchor again
}

int IconSide(HICON icon)
{
    ICONINFO parts = {};
    BITMAP mask = {};
    if (!GetIconInfo(icon, &parts))
        return 0;
    GetObjectA(parts.hbmMask, sizeof mask, &mask);
    DeleteObject(parts.hbmMask);
    DeleteObject(parts.hbmColor);
    return mask.bmWidth;
}

TEST_F(RingWindowTest, AScaleChangeDrawsTheIconScaledUntilItsPlaceAnswers)
{
    Start();
    LauncherSlot* slot = &launcher.slots[1];
    ReplaceText(&slot->target, BesideTestExe("recorder.exe").c_str());
    ShowStoredIcon(slot);
    ASSERT_TRUE(PumpUntil([&] { return slot->icon != nullptr; })) << "no icon came from the worker";
    ASSERT_EQ(IconSide(static_cast<HICON>(slot->icon)), 32);
    RECT suggested = {0, 0, 300, 300};
    SendMessageA(ringWindow.window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(IconSide(static_cast<HICON>(slot->icon)), 32) << "taken again before its place answered";
    for (DWORD start = GetTickCount(); IconSide(static_cast<HICON>(slot->icon)) != 48 && GetTickCount() - start < 2000;)
        PumpMessages(10);
    EXPECT_EQ(IconSide(static_cast<HICON>(slot->icon)), 48) << "not taken again once its place answered";
}

// High Contrast as the system would answer it: Wine always reports it off
// and refuses to turn it on, so the test process's own import of the call
// is pointed at an answer it sets.
bool contrastOn;
BOOL(WINAPI* systemParameters)(UINT, UINT, void*, UINT);
BOOL WINAPI ParametersInContrast(UINT action, UINT size, void* data, UINT update)
{
    BOOL answer = systemParameters(action, size, data, update);
    if (answer && action == SPI_GETHIGHCONTRAST && contrastOn)
        static_cast<HIGHCONTRASTA*>(data)->dwFlags |= HCF_HIGHCONTRASTON;
    return answer;
}

// The slot of this module's import table that holds the entry; null without.
void** ImportSlot(const char* library, const char* entry)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), library) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                !lstrcmpA(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, entry))
                return reinterpret_cast<void**>(&slots->u1.Function);
    }
    return nullptr;
}

void PointImport(void** slot, void* entry)
{
    DWORD access;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &access);
    *slot = entry;
    VirtualProtect(slot, sizeof *slot, access, &access);
}

TEST_F(RingWindowTest, UnderHighContrastTheSectorsAndFaceTakeTheSystemsColours)
{
    Start();
    void** slot = ImportSlot("user32.dll", "SystemParametersInfoA");
    ASSERT_NE(slot, nullptr);
    systemParameters = reinterpret_cast<decltype(systemParameters)>(*slot);
    PointImport(slot, reinterpret_cast<void*>(ParametersInContrast));
    POINT idle = SlotIconAnchor(0), chosen = SlotIconAnchor(2), lit = SlotIconAnchor(1);
    lit = {lit.x + 10, lit.y + 10};
    chosen = {chosen.x + 10, chosen.y + 10};
    struct Case {
        UINT message;
        WPARAM action;
        bool on;
        COLORREF face, idle, lit, chosen;
    };
    const Case cases[] = {
        {WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, true, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE),
         GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHT)},
        {WM_SYSCOLORCHANGE, 0, false, kSkyBlue, kButtonNormal, kButtonHover, kButtonHover},
    };
    for (const Case& change : cases) {
        contrastOn = change.on;
        SendMessageA(ringWindow.window, change.message, change.action, 0);
        EXPECT_EQ(ScreenPixel({100, 100}), change.face) << change.on;
        EXPECT_EQ(ScreenPixel(idle), change.idle) << change.on;
        MovePointerTo(lit.x, lit.y);
        EXPECT_EQ(ScreenPixel(lit), change.lit) << change.on;
        MovePointerTo(100, 100);
        SetVButtonChosen(launcher.slots[2].button, true);
        EXPECT_EQ(ScreenPixel(chosen), change.chosen) << change.on;
        SetVButtonChosen(launcher.slots[2].button, false);
    }
    PointImport(slot, reinterpret_cast<void*>(systemParameters));
}

namespace {

// Every call a worker makes about a target waits, as on a share that does
// not answer, until the gate opens (20 s at most); the load test answers as told.
HANDLE gate;
volatile LONG finishedCalls;
bool answerGone;
const TargetCalls systemCalls = targetCalls;
const TargetCalls gatedCalls = {
    [](const LauncherSlot* slot, int dpi) { return WaitForSingleObject(gate, 20000), systemCalls.icon(slot, dpi); },
    [](const char*, const char16_t*) { return WaitForSingleObject(gate, 20000), InterlockedIncrement(&finishedCalls), answerGone; },
    [](const LauncherSlot* slot, const char* verb, HMONITOR monitor) {
        WaitForSingleObject(gate, 20000);
        systemCalls.start(slot, verb, monitor);
    }};

class SilentShareTest : public RingFixture {
protected:
    void SetUp() override
    {
        RingFixture::SetUp();
        gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        finishedCalls = 0;
        targetCalls = gatedCalls;
        SettingsBytes file;
        file.Magic("ZRondelV3").Int32(2).Int32(0).Entry(BesideTestExe("recorder.exe"), "", "", "Recorder");
        ASSERT_TRUE(WriteWholeFile(settings_, file.Trailer(true, true, 0, 0).str()));
    }
    void TearDown() override
    {
        SetEvent(gate); // the workers end; answers to a ring that is gone are freed
        RingFixture::TearDown();
        targetCalls = systemCalls;
    }
    template <typename Step> static DWORD Milliseconds(Step step)
    {
        const DWORD start = GetTickCount();
        step();
        return GetTickCount() - start;
    }
};

TEST_F(SilentShareTest, WhileEveryTargetCallWaitsTheRingAnswersPaintsHidesAfterALaunchAndExits)
{
    EXPECT_LT(Milliseconds([&] { Start(); }), 1000u) << "the start waited for the target";
    LauncherSlot* slot = &launcher.slots[1];
    ASSERT_NE(slot->target, nullptr) << "no answer yet keeps the slot";
    EXPECT_EQ(ScreenPixel(SlotIconAnchor(1)), kButtonNormal) << "not drawn as a defined slot without icon";
    EXPECT_LT(Milliseconds([&] { SendHover(true, 1, SlotIconAnchor(1)); }), 500u) << "the hover waited";
    EXPECT_LT(Milliseconds([&] { SendMessageA(ringWindow.window, UM_SLOTCLICK, 1, 0); }), 500u) << "the click waited";
    EXPECT_FALSE(IsWindowVisible(ringWindow.window)) << "not hidden at once after the click";
    EXPECT_FALSE(FileExists(recorderLog_)) << "started before its target answered";

    SetEvent(gate);
    EXPECT_NE(AwaitRecord(recorderLog_), "") << "the program did not start once its target answered";
    EXPECT_TRUE(PumpUntil([&] { return slot->icon != nullptr && ButtonState(1)->icon == slot->icon; }));

    // A question outstanding again: the exit saves and does not wait for it.
    ResetEvent(gate);
    RECT suggested = {30, 20, 330, 320};
    SendMessageA(ringWindow.window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_LT(Milliseconds([&] { EXPECT_EQ(StopTestLauncher(), 0); }), 1000u) << "the exit waited for a worker";
    EXPECT_EQ(Saved().windowLeft, 30) << "the exit did not save";
}

TEST_F(SilentShareTest, AnAnswerForAnEarlierTargetIsDroppedAndAGoneOneEmptiesTheSlot)
{
    answerGone = true;
    Start();
    LauncherSlot* slot = &launcher.slots[1];
    const std::string other = BesideTestExe("ringwnd_tests.exe");
    ReplaceText(&slot->target, other.c_str()); // changed while its target was asked about
    ShowStoredIcon(slot);
    // Posted by any program: neither a number given out nor a pointer.
    PostMessageA(ringWindow.window, UM_PLACEANSWERED, 77, reinterpret_cast<LPARAM>(slot));
    PostMessageA(ringWindow.window, UM_PLACEANSWERED, static_cast<WPARAM>(-1), 0x1234);
    SetEvent(gate);
    ASSERT_TRUE(PumpUntil([&] { return finishedCalls == 1 && slot->icon; })) << "the new target's icon";
    PumpMessages();
    EXPECT_EQ(std::string(slot->target), other) << "a stale 'gone' emptied the slot";

    // For the slot as it is: emptied as a version 3 file empties it, and saved.
    StopTestLauncher();
    Start();
    EXPECT_TRUE(PumpUntil([&] { return launcher.slots[1].target == nullptr; })) << "a gone target kept its slot";
    EXPECT_STREQ(launcher.slots[1].hint, kDefaultHint);
    EXPECT_EQ(ReadWholeFile(settings_).size(), 120u) << "the emptied slot was not saved";
}

} // namespace
