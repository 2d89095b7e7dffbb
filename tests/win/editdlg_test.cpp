// The hint edit dialog inside the running launcher: how the ring window makes
// it, opening at the cursor, confirming into the slot and the settings file,
// the ways it is left without saving, dragging it, and what it leaks.
#include "hintdlg/editdlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "hintdlg/evbutton.h"
#include "res/resource.h"
#include "settings/file_on_disk.h"
#include "tests/native/settings_bytes.h"
#include "tests/win/support/gui_objects.h"
#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"
#include "tests/win/support/pixels.h"
#include "tests/win/support/run_key.h"
#include "tooltip/tooltip.h"

namespace {

const COLORREF kSkyBlue = 0x00FFCC66;
const COLORREF kIconRed = RGB(255, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

RECT WindowRect(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return bounds;
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A point of the dialog's client area on the screen.
POINT OnDialog(int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(editDlg.window, &point);
    return point;
}

POINT MiddleOf(HWND window)
{
    RECT bounds = WindowRect(window);
    return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

const EVButtonState* ButtonRecord(HWND button)
{
    return reinterpret_cast<const EVButtonState*>(GetWindowLongPtrA(button, GWLP_USERDATA));
}

// The text the tooltip holds after the real pointer came onto a slot's sector.
std::string TooltipTextOverSlot(int slot)
{
    POINT anchor = SlotIconAnchor(slot);
    MovePointerTo(anchor.x + 10, anchor.y + 10);
    PumpMessages();
    const ToolTipState* tip =
        reinterpret_cast<const ToolTipState*>(GetWindowLongPtrA(ringWindow.toolTip, GWLP_USERDATA));
    std::string text = tip && tip->text ? tip->text : "";
    POINT centre = MiddleOf(ringWindow.window); // the centre disc: off every sector
    MovePointerTo(centre.x, centre.y);
    return text;
}

class EditDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(settings_.c_str());
        MovePointerTo(1200, 1000);
    }

    void TearDown() override
    {
        ReleaseButton(LEFT_BUTTON);
        StopTestLauncher();
        for (HICON icon : icons_)
            DestroyIcon(icon);
        DeleteFileA(settings_.c_str());
    }

    void Start()
    {
        ASSERT_EQ(StartTestLauncher(), 0);
        ASSERT_NE(editDlg.window, nullptr);
        PumpMessages();
    }

    // The captions as a Russian user reads them, on any code page.
    UserValueGuard language_{"Software\\Ta[V]en Software\\[Z] Rondel", "Language"};
    const bool russian_ = WriteUserValue("Software\\Ta[V]en Software\\[Z] Rondel", "Language", REG_SZ, "ru");

    // Gives a slot a target (this test program, which exists, so that a
    // restart keeps it) and a hint, and a red icon when asked.
    LauncherSlot* Define(int index, const char* hint, bool withIcon = false)
    {
        LauncherSlot* slot = &launcher.slots[index];
        ReplaceText(&slot->target, target_.c_str());
        ReplaceText(&slot->hint, hint);
        if (withIcon) {
            icons_.push_back(MakeSolidIcon(kIconRed));
            slot->icon = icons_.back();
        }
        return slot;
    }

    // The hint command for a slot, with the pointer at the given place.
    void OpenFor(int index, POINT cursor = {600, 500})
    {
        MovePointerTo(cursor.x, cursor.y);
        ringWindow.currentSlot = index;
        SendMessageA(ringWindow.window, WM_COMMAND, IDM_HINT, 0);
        PumpMessages();
    }

    void Confirm() { SendMessageA(editDlg.window, WM_COMMAND, EDITDLG_CONFIRM, 0); }

    // What the settings file holds for a slot's hint; "(absent)" without one.
    std::string SavedHint(int index)
    {
        LauncherSlot* slots = AllocateSlotTable();
        LauncherSettings before = launcherSettings;
        LoadSettings(settings_.c_str(), slots, SLOT_COUNT);
        launcherSettings = before;
        std::string hint = slots[index].hint ? slots[index].hint : "(absent)";
        FreeSlotTable(slots);
        return hint;
    }

    void ExpectClosedWithoutEdit(const char* how, const LauncherSlot* slot, const char* hint, const char* hintBefore)
    {
        SCOPED_TRACE(how);
        EXPECT_FALSE(IsWindowVisible(editDlg.window));
        EXPECT_EQ(editDlg.editedSlot, nullptr);
        EXPECT_EQ(slot->hint, hintBefore) << "the slot's hint was not replaced";
        EXPECT_STREQ(slot->hint, hint);
        EXPECT_FALSE(FileExists(settings_)) << "nothing was saved";
    }

    const std::string settings_ = BesideTestExe("settings.dat");
    const std::string target_ = BesideTestExe("editdlg_tests.exe");
    std::vector<HICON> icons_;
};

TEST_F(EditDlgTest, TheRingMakesItHiddenRoundedWithEditorAndTwoButtons)
{
    Start();
    HWND dialog = editDlg.window;
    EXPECT_EQ(ringWindow.editDialog, dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), ringWindow.window);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(editDlg.editedSlot, nullptr);
    char className[32];
    GetClassNameA(dialog, className, sizeof className);
    EXPECT_STREQ(className, "EditDlg_Class");
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME),
              static_cast<LONG>(WS_POPUP));
    EXPECT_EQ(GetWindowLongA(dialog, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 230);
    EXPECT_EQ(client.bottom, 80);

    // Rounded corners with 15 x 15 ellipses.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(dialog, shape), ERROR);
    EXPECT_FALSE(PtInRegion(shape, 0, 0));
    EXPECT_FALSE(PtInRegion(shape, 1, 1));
    EXPECT_FALSE(PtInRegion(shape, 229, 79));
    EXPECT_FALSE(PtInRegion(shape, 229, 0));
    EXPECT_TRUE(PtInRegion(shape, 15, 0));
    EXPECT_TRUE(PtInRegion(shape, 0, 15));
    EXPECT_TRUE(PtInRegion(shape, 115, 40));
    EXPECT_TRUE(PtInRegion(shape, 115, 78));
    EXPECT_TRUE(PtInRegion(shape, 228, 40));
    DeleteObject(shape);

    // The class: sky-blue background, arrow cursor.
    WNDCLASSA dialogClass;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "EditDlg_Class", &dialogClass));
    LOGBRUSH background;
    ASSERT_EQ(GetObjectA(dialogClass.hbrBackground, sizeof background, &background),
              static_cast<int>(sizeof background));
    EXPECT_EQ(background.lbColor, kSkyBlue);
    EXPECT_EQ(dialogClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(RegisterEditDlgClass(GetModuleHandleA(nullptr)), editDlg.classAtom);

    // The children where they belong.
    struct Expected {
        HWND window;
        const char* className;
        int x, y, width, height;
    } children[] = {
        {editDlg.editor, "LEditor", 55, 15, 160, 23},
        {editDlg.confirmButton, "EVButton", 55, 45, 80, 30},
        {editDlg.cancelButton, "EVButton", 135, 45, 80, 30},
    };
    for (const Expected& child : children) {
        SCOPED_TRACE(child.x * 1000 + child.y);
        ASSERT_NE(child.window, nullptr);
        EXPECT_EQ(GetParent(child.window), dialog);
        GetClassNameA(child.window, className, sizeof className);
        EXPECT_STREQ(className, child.className);
        RECT bounds = WindowRect(child.window);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_EQ(bounds.left, child.x);
        EXPECT_EQ(bounds.top, child.y);
        EXPECT_EQ(bounds.right - bounds.left, child.width);
        EXPECT_EQ(bounds.bottom - bounds.top, child.height);
    }
    EXPECT_EQ(GetDlgCtrlID(editDlg.confirmButton), EDITDLG_CONFIRM);
    EXPECT_EQ(GetDlgCtrlID(editDlg.cancelButton), EDITDLG_CANCEL);
    EXPECT_EQ(TextOf(editDlg.confirmButton), "Ok");
    wchar_t cancelName[16] = L""; // as assistive tools read it, on any code page
    InternalGetWindowText(editDlg.cancelButton, cancelName, 16);
    EXPECT_STREQ(cancelName, L"Отмена");
    const HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(ButtonRecord(editDlg.confirmButton)->icon, LoadIconA(module, MAKEINTRESOURCEA(IDI_CONFIRM)));
    EXPECT_EQ(ButtonRecord(editDlg.cancelButton)->icon, LoadIconA(module, MAKEINTRESOURCEA(IDI_CANCEL)));

    // Both buttons share the dialog's extra-bold font.
    EXPECT_EQ(ButtonRecord(editDlg.confirmButton)->font, editDlg.font);
    EXPECT_EQ(ButtonRecord(editDlg.cancelButton)->font, editDlg.font);
    LOGFONTA face;
    ASSERT_EQ(GetObjectA(editDlg.font, sizeof face, &face), static_cast<int>(sizeof face));
    EXPECT_EQ(face.lfHeight, -12);
    EXPECT_EQ(face.lfWeight, 800);
    EXPECT_EQ(face.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(face.lfFaceName, "Comic Sans MS");

    // No title of its own to tell.
    EXPECT_EQ(SendMessageA(dialog, WM_GETTEXTLENGTH, 0, 0), 0);
}

// The cancel caption reads "Отмена" whatever the system's code page: its
// white glyph pixels on the screen are exactly those that the dialog's font
// gives that text, drawn as UTF-16 in the same box on the same face.
TEST_F(EditDlgTest, TheCancelCaptionReadsTheSameOnEveryCodePage)
{
    Start();
    OpenFor(0);
    const RECT captionBox = {25, 0, 78, 30}; // of the idle button
    HDC screen = GetDC(nullptr);
    HDC expected = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, captionBox.right, captionBox.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldImage = SelectObject(expected, image);
    HBRUSH face = CreateSolidBrush(RGB(0, 136, 204));
    FillRect(expected, &captionBox, face);
    DeleteObject(face);
    HGDIOBJ oldFont = SelectObject(expected, editDlg.font);
    SetBkMode(expected, TRANSPARENT);
    SetTextColor(expected, kWhite);
    RECT box = captionBox;
    DrawTextW(expected, L"Отмена", -1, &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);

    PumpMessages();
    HDC shown = GetDC(editDlg.cancelButton);
    int glyphPixels = 0, misplaced = 0;
    for (int y = captionBox.top; y < captionBox.bottom; ++y) {
        for (int x = captionBox.left; x < captionBox.right; ++x) {
            const bool white = GetPixel(shown, x, y) == kWhite;
            glyphPixels += white;
            misplaced += white != (GetPixel(expected, x, y) == kWhite);
        }
    }
    ReleaseDC(editDlg.cancelButton, shown);
    SelectObject(expected, oldFont);
    SelectObject(expected, oldImage);
    DeleteObject(image);
    DeleteDC(expected);
    EXPECT_GT(glyphPixels, 20) << "no caption on the cancel button";
    EXPECT_EQ(misplaced, 0) << "the cancel button does not show \"Отмена\" (code page " << GetACP() << ")";
}

TEST_F(EditDlgTest, OpensCentredOnTheCursorWithHintIconAndFocus)
{
    Start();
    LauncherSlot* slot = Define(3, "Three", true);
    OpenFor(3, {500, 400});
    HWND dialog = editDlg.window;
    ASSERT_TRUE(IsWindowVisible(dialog));
    RECT bounds = WindowRect(dialog);
    EXPECT_EQ(bounds.left, 385);
    EXPECT_EQ(bounds.top, 360);
    EXPECT_EQ(bounds.right - bounds.left, 230);
    EXPECT_EQ(bounds.bottom - bounds.top, 80);
    EXPECT_EQ(editDlg.editedSlot, slot);
    EXPECT_EQ(TextOf(editDlg.editor), "Three");
    EXPECT_EQ(GetFocus(), editDlg.editor);
    EXPECT_EQ(ringWindow.currentSlot, 3) << "the hint command keeps the slot";

    // The slot's icon at (15, 24), 32 x 32, on the sky-blue face.
    EXPECT_EQ(ScreenPixel(OnDialog(15, 24)), kIconRed);
    EXPECT_EQ(ScreenPixel(OnDialog(46, 55)), kIconRed);
    EXPECT_EQ(ScreenPixel(OnDialog(14, 40)), kSkyBlue);
    EXPECT_EQ(ScreenPixel(OnDialog(31, 57)), kSkyBlue);
    EXPECT_EQ(ScreenPixel(OnDialog(115, 5)), kSkyBlue);

    // Near the screen's corner, where centring would put part of it off the
    // screen, it goes into the corner.
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    OpenFor(3, {10, 5});
    bounds = WindowRect(dialog);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
}

TEST_F(EditDlgTest, ASlotWithoutHintOpensEmptyAndTheEditSlotMessageAnswers)
{
    Start();
    HWND dialog = editDlg.window;
    EXPECT_EQ(SendMessageA(dialog, UM_EDITSLOT, 0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
    SetWindowTextA(editDlg.editor, "left over");
    EXPECT_EQ(SendMessageA(dialog, UM_EDITSLOT, 0, reinterpret_cast<LPARAM>(&launcher.slots[5])), 1);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(editDlg.editedSlot, &launcher.slots[5]);
    EXPECT_EQ(GetWindowTextLengthA(editDlg.editor), 0);

    // Without a slot the hint command does nothing.
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    ringWindow.currentSlot = -1;
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_HINT, 0);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(EditDlgTest, ConfirmingAChangedTextReplacesTheHintSavesAndHides)
{
    Start();
    LauncherSlot* slot = Define(1, "Before");
    OpenFor(1);
    SetWindowTextA(editDlg.editor, "After the edit");
    Confirm();
    EXPECT_FALSE(IsWindowVisible(editDlg.window));
    EXPECT_EQ(editDlg.editedSlot, nullptr);
    EXPECT_STREQ(slot->hint, "After the edit");
    EXPECT_EQ(SavedHint(1), "After the edit");
    EXPECT_EQ(TooltipTextOverSlot(1), "After the edit");
}

TEST_F(EditDlgTest, ConfirmingTheUnchangedTextStillStoresAFreshCopyAndSaves)
{
    Start();
    LauncherSlot* slot = Define(2, "Same");
    const char* before = slot->hint;
    OpenFor(2);
    Confirm();
    EXPECT_NE(slot->hint, before);
    EXPECT_STREQ(slot->hint, "Same");
    EXPECT_EQ(SavedHint(2), "Same");
}

TEST_F(EditDlgTest, ConfirmingAnEmptyTextLeavesTheHintAbsent)
{
    Start();
    LauncherSlot* plain = Define(4, "Plain");
    LauncherSlot* withIcon = Define(6, "Iconic", true);
    for (LauncherSlot* slot : {plain, withIcon}) {
        OpenFor(slot == plain ? 4 : 6);
        SetWindowTextA(editDlg.editor, "");
        Confirm();
        EXPECT_EQ(slot->hint, nullptr);
        EXPECT_FALSE(IsWindowVisible(editDlg.window));
    }
    // Stored with length 0, the next start derives it from the target again.
    EXPECT_EQ(SavedHint(4), "editdlg_tests");

    // No tooltip without hint and icon; the icon alone shows one, without text.
    POINT anchor = SlotIconAnchor(4);
    MovePointerTo(anchor.x + 10, anchor.y + 10);
    EXPECT_FALSE(IsWindowVisible(ringWindow.toolTip));
    anchor = SlotIconAnchor(6);
    MovePointerTo(anchor.x + 10, anchor.y + 10);
    EXPECT_TRUE(IsWindowVisible(ringWindow.toolTip));
    EXPECT_EQ(TooltipTextOverSlot(6), "");
}

TEST_F(EditDlgTest, CancelCloseAndHidingTheRingDropTheEdit)
{
    Start();
    LauncherSlot* slot = Define(0, "Kept");
    const char* before = slot->hint;

    OpenFor(0);
    SetWindowTextA(editDlg.editor, "typed, then cancelled");
    SendMessageA(editDlg.window, WM_COMMAND, EDITDLG_CANCEL, 0);
    ExpectClosedWithoutEdit("cancel", slot, "Kept", before);

    OpenFor(0);
    SetWindowTextA(editDlg.editor, "typed, then closed");
    EXPECT_EQ(SendMessageA(editDlg.window, WM_CLOSE, 0, 0), 0);
    ExpectClosedWithoutEdit("close", slot, "Kept", before);
    EXPECT_TRUE(IsWindow(editDlg.window)) << "closing only hides it";

    OpenFor(0);
    SetWindowTextA(editDlg.editor, "typed, then the ring went");
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_SHOWHIDE, 0);
    EXPECT_FALSE(IsWindowVisible(ringWindow.window));
    ExpectClosedWithoutEdit("ring hidden", slot, "Kept", before);

    // A stray confirm after any of these has no slot to write into.
    Confirm();
    ExpectClosedWithoutEdit("stray confirm", slot, "Kept", before);

    // Other commands do nothing.
    SendMessageA(ringWindow.window, WM_COMMAND, IDM_SHOWHIDE, 0);
    OpenFor(0);
    SendMessageA(editDlg.window, WM_COMMAND, 3, 0);
    EXPECT_TRUE(IsWindowVisible(editDlg.window));
    EXPECT_EQ(editDlg.editedSlot, slot);
}

TEST_F(EditDlgTest, EnterAndEscapeInTheEditorNeitherConfirmNorCancel)
{
    Start();
    LauncherSlot* slot = Define(8, "Keys");
    OpenFor(8);
    ASSERT_EQ(GetFocus(), editDlg.editor);
    TapKey(VK_END);
    TypeText("!");
    TapKey(VK_RETURN);
    TapKey(VK_ESCAPE);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(editDlg.window));
    EXPECT_EQ(editDlg.editedSlot, slot);
    EXPECT_EQ(TextOf(editDlg.editor), "Keys!") << "typing reached the editor, Enter and Escape added nothing";
    EXPECT_STREQ(slot->hint, "Keys");
    EXPECT_FALSE(FileExists(settings_));
}

TEST_F(EditDlgTest, OpeningForAnotherSlotDiscardsTheFirstSlotsText)
{
    Start();
    LauncherSlot* first = Define(9, "First");
    LauncherSlot* second = Define(10, "Second");
    OpenFor(9, {400, 300});
    SetWindowTextA(editDlg.editor, "unsaved for the first");
    OpenFor(10, {700, 600});
    EXPECT_TRUE(IsWindowVisible(editDlg.window));
    EXPECT_EQ(editDlg.editedSlot, second);
    EXPECT_EQ(TextOf(editDlg.editor), "Second");
    EXPECT_EQ(WindowRect(editDlg.window).left, 585);
    EXPECT_EQ(WindowRect(editDlg.window).top, 560);
    SetWindowTextA(editDlg.editor, "Second, edited");
    Confirm();
    EXPECT_STREQ(first->hint, "First");
    EXPECT_STREQ(second->hint, "Second, edited");
    EXPECT_EQ(SavedHint(9), "First");
}

TEST_F(EditDlgTest, DraggingTheBackgroundMovesItAndClicksReachTheControls)
{
    Start();
    Define(11, "Drag", true);
    OpenFor(11, {500, 400}); // at (385, 360)
    // The face and the icon are caption; the controls are themselves.
    EXPECT_EQ(WindowFromPoint(OnDialog(30, 40)), editDlg.window);
    EXPECT_EQ(SendMessageA(editDlg.window, WM_NCHITTEST, 0, MAKELPARAM(OnDialog(30, 40).x, OnDialog(30, 40).y)),
              HTCAPTION);
    EXPECT_EQ(WindowFromPoint(OnDialog(100, 25)), editDlg.editor);
    EXPECT_EQ(WindowFromPoint(OnDialog(95, 60)), editDlg.confirmButton);

    DragWithLeftButton(OnDialog(8, 66), {393 + 100, 426 + 50});
    EXPECT_EQ(WindowRect(editDlg.window).left, 485);
    EXPECT_EQ(WindowRect(editDlg.window).top, 410);
    DragWithLeftButton(OnDialog(30, 40), {485 + 30 - 60, 410 + 40 - 20});
    EXPECT_EQ(WindowRect(editDlg.window).left, 425);
    EXPECT_EQ(WindowRect(editDlg.window).top, 390);
    EXPECT_TRUE(IsWindowVisible(editDlg.window));

    // A click on the editor focuses it; the text stays.
    SetFocus(editDlg.cancelButton);
    POINT editor = MiddleOf(editDlg.editor);
    ClickAt(editor.x, editor.y);
    PumpMessages();
    EXPECT_EQ(GetFocus(), editDlg.editor);
    EXPECT_EQ(TextOf(editDlg.editor), "Drag");
}

TEST_F(EditDlgTest, ARealClickOnCancelClosesWithoutSaving)
{
    Start();
    LauncherSlot* slot = Define(12, "Untouched");
    const char* before = slot->hint;
    OpenFor(12);
    TapKey('A', VK_CONTROL);
    TypeText("Replaced");
    POINT cancel = MiddleOf(editDlg.cancelButton);
    ClickAt(cancel.x, cancel.y);
    PumpMessages();
    ExpectClosedWithoutEdit("real cancel click", slot, "Untouched", before);
}

// The hint command here stands in for the slot menu's "Подсказка", which a
// real right click on the sector opens: the rest is real input.
TEST_F(EditDlgTest, TypedHintConfirmedWithOkShowsInTheTooltipAndSurvivesARestart)
{
    SettingsBytes file;
    file.Magic("ZRondelV3").Int32(1).Entry(target_, "", "", "Old hint");
    ASSERT_TRUE(WriteWholeFile(settings_, file.Trailer(true, true, 200, 150).str()));
    Start();
    ASSERT_STREQ(launcher.slots[0].target, target_.c_str());
    ASSERT_NE(launcher.slots[0].icon, nullptr) << "this program has an icon";
    EXPECT_EQ(TooltipTextOverSlot(0), "Old hint");

    POINT sector = SlotIconAnchor(0);
    OpenFor(0, {sector.x + 10, sector.y + 10});
    ASSERT_TRUE(IsWindowVisible(editDlg.window));
    TapKey('A', VK_CONTROL);
    TypeText("Fresh hint");
    // AltGr is Ctrl and Alt held while its letter arrives; a control byte
    // still stays out.
    PressKey(VK_CONTROL);
    PressKey(VK_MENU);
    PumpMessages(50);
    SendMessageA(editDlg.editor, WM_CHAR, '@', 0);
    SendMessageA(editDlg.editor, WM_CHAR, 0x1A, 0);
    ReleaseKey(VK_MENU);
    ReleaseKey(VK_CONTROL);
    EXPECT_EQ(TextOf(editDlg.editor), "Fresh hint@");
    POINT ok = MiddleOf(editDlg.confirmButton);
    ClickAt(ok.x, ok.y);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(editDlg.window));
    EXPECT_STREQ(launcher.slots[0].hint, "Fresh hint@");
    EXPECT_EQ(TooltipTextOverSlot(0), "Fresh hint@");

    ASSERT_EQ(StopTestLauncher(), 0);
    Start();
    EXPECT_STREQ(launcher.slots[0].hint, "Fresh hint@");
    EXPECT_EQ(TooltipTextOverSlot(0), "Fresh hint@");
}

TEST_F(EditDlgTest, ManyOpenConfirmCyclesLeakNothing)
{
    Start();
    Define(13, "Cycle", true);
    OpenFor(13);
    Confirm(); // the first round may fill caches
    const unsigned gdi = CountGdiObjects();
    const unsigned windows = CountThreadWindows();
    for (int i = 0; i < 200; ++i) {
        SendMessageA(ringWindow.window, WM_COMMAND, IDM_HINT, 0);
        SendMessageA(editDlg.editor, WM_CHAR, 'a' + i % 26, 0);
        UpdateWindow(editDlg.window);
        SendMessageA(editDlg.window, WM_COMMAND, i % 3 ? EDITDLG_CONFIRM : EDITDLG_CANCEL, 0);
    }
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountThreadWindows(), windows);
    EXPECT_FALSE(IsWindowVisible(editDlg.window));
}

TEST_F(EditDlgTest, StartingAndStoppingLeavesNoClassAndNoObjectBehind)
{
    Start();
    OpenFor(0);
    EXPECT_EQ(StopTestLauncher(), 0); // the first run may fill caches
    const unsigned gdi = CountGdiObjects();
    const unsigned windows = CountThreadWindows();
    for (int run = 0; run < 3; ++run) {
        Start();
        OpenFor(0);
        EXPECT_EQ(StopTestLauncher(), 0);
        EXPECT_EQ(editDlg.window, nullptr);
        EXPECT_EQ(CountGdiObjects(), gdi) << "run " << run;
        EXPECT_EQ(CountThreadWindows(), windows) << "run " << run;
    }
    WNDCLASSA unused;
    for (const char* name : {"EditDlg_Class", "LEditor", "EVButton"})
        EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), name, &unused)) << name;
}

} // namespace
