#include "hintdlg/evbutton.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "tests/win/support/gui_objects.h"
#include "tests/win/support/input.h"

namespace {

const COLORREF kNormalBlue = RGB(0, 136, 204);
const COLORREF kLightBlue = RGB(85, 170, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kParentColour = RGB(255, 0, 255); // found nowhere on the button itself
const COLORREF kIconColour = RGB(255, 0, 0);
const int kCommandId = 7;
const int kWidth = 80, kHeight = 30; // the hint dialog's buttons
const int kButtonX = 20, kButtonY = 40; // in the parent

// Inside the face, clear of the outline, both icon boxes and a caption.
const POINT kFacePoints[] = {{32, 5}, {70, 24}};

struct Command {
    WPARAM wParam;
    LPARAM lParam;
    COLORREF face;  // the sender's face when the parent heard of the click
    HWND capture;   // the capture at that moment
};
std::vector<Command> commands;
HWND buttonUnderTest; // whose face a WM_COMMAND records

COLORREF PixelOf(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        POINT face = kFacePoints[0];
        commands.push_back({wParam, lParam, PixelOf(buttonUnderTest, face.x, face.y), GetCapture()});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Messages the button receives, in order; while swallowMoves is set its
// mouse moves are dropped before they reach it.
std::vector<UINT> buttonMessages;
bool swallowMoves;
WNDPROC buttonProc;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    buttonMessages.push_back(message);
    if (message == WM_MOUSEMOVE && swallowMoves)
        return 0;
    return CallWindowProcA(buttonProc, window, message, wParam, lParam);
}

void RecordButtonMessages(HWND button)
{
    buttonMessages.clear();
    buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
}

size_t CountOf(const std::vector<UINT>& messages, UINT message)
{
    size_t count = 0;
    for (UINT each : messages)
        count += each == message;
    return count;
}

HICON CreateSolidIcon(COLORREF colour)
{
    const int side = 32;
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, side, side);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, image);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, side, side};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<unsigned char> opaque(side * side / 8, 0);
    HBITMAP mask = CreateBitmap(side, side, 1, 1, opaque.data());
    ICONINFO info = {TRUE, 0, 0, mask, image};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(image);
    return icon;
}

// A top-level parent whose class brush has the colour given: one class per
// colour, since the button reads the class's brush.
HWND CreateParent(COLORREF colour, int width, int height)
{
    char className[32];
    wsprintfA(className, "EVButtonTestParent%06X", static_cast<unsigned>(colour));
    WNDCLASSA parentClass = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &parentClass)) {
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        parentClass.hbrBackground = CreateSolidBrush(colour); // kept for the whole run
        parentClass.lpszClassName = className;
        RegisterClassA(&parentClass);
    }
    return CreateWindowExA(WS_EX_TOPMOST, className, "", WS_POPUP | WS_VISIBLE, 100, 100, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void ParkPointer()
{
    MovePointerTo(5, 5); // over no window of the test
}

class EVButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterEVButtonClass(GetModuleHandleA(nullptr)); }

    void SetUp() override
    {
        ParkPointer();
        parent_ = CreateParent(kParentColour, 240, 120);
        icon_ = CreateSolidIcon(kIconColour);
        button_ = CreateEVButton(parent_, kCommandId, "Ok", icon_, nullptr, kButtonX, kButtonY,
                                 kWidth, kHeight);
        ASSERT_NE(button_, nullptr);
        buttonUnderTest = button_;
        commands.clear();
        swallowMoves = false;
        PumpMessages();
    }

    void TearDown() override
    {
        ReleaseButton(LEFT_BUTTON);
        ParkPointer();
        DestroyWindow(parent_);
        DestroyIcon(icon_);
        PumpMessages();
    }

    // Moves the pointer to a point in the button's client coordinates.
    void PointAt(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(button_, &point);
        MovePointerTo(point.x, point.y);
    }
    void PointAtMiddle() { PointAt(kWidth / 2, kHeight / 2); }
    void PointBeside() { PointAt(kWidth + 40, kHeight / 2); } // over the parent

    COLORREF Pixel(int x, int y) { return PixelOf(button_, x, y); }

    void ExpectFace(COLORREF fill)
    {
        for (POINT point : kFacePoints)
            EXPECT_EQ(Pixel(point.x, point.y), fill) << "face at " << point.x << "," << point.y;
    }

    // The icon fills exactly the box at (x, y) of the side given.
    void ExpectIconBox(int x, int y, int side)
    {
        const int last = side - 1;
        for (POINT inside : {POINT{x, y}, POINT{x + last, y}, POINT{x, y + last}, POINT{x + last, y + last}})
            EXPECT_EQ(Pixel(inside.x, inside.y), kIconColour) << "icon at " << inside.x << "," << inside.y;
        for (POINT outside : {POINT{x - 1, y + 10}, POINT{x + side, y + 10}, POINT{x + 10, y - 1},
                              POINT{x + 10, y + side}})
            EXPECT_NE(Pixel(outside.x, outside.y), kIconColour) << "beside the icon at " << outside.x
                                                                << "," << outside.y;
    }

    void ExpectIdleLook()
    {
        ExpectFace(kNormalBlue);
        EXPECT_EQ(Pixel(40, 1), kLightBlue) << "outline";
        ExpectIconBox(5, 5, 20);
    }
    void ExpectHotLook()
    {
        ExpectFace(kLightBlue);
        EXPECT_EQ(Pixel(40, 1), kNormalBlue) << "outline";
        ExpectIconBox(5, 5, 20);
    }
    void ExpectHeldLook()
    {
        ExpectFace(kLightBlue);
        EXPECT_EQ(Pixel(40, 1), kNormalBlue) << "outline";
        ExpectIconBox(2, 2, 26);
    }

    HWND parent_ = nullptr;
    HWND button_ = nullptr;
    HICON icon_ = nullptr;
};

TEST_F(EVButtonTest, CreatedAsAVisibleChildNamedByItsCommand)
{
    EXPECT_EQ(GetParent(button_), parent_);
    EXPECT_TRUE(IsWindowVisible(button_));
    EXPECT_EQ(GetDlgItem(parent_, kCommandId), button_);
    char text[16] = {};
    GetWindowTextA(button_, text, sizeof text);
    EXPECT_STREQ(text, "Ok");
    RECT client;
    GetClientRect(button_, &client);
    EXPECT_EQ(client.right, kWidth);
    EXPECT_EQ(client.bottom, kHeight);
}

TEST_F(EVButtonTest, RegistrationHappensOnceAndKeepsTheAtom)
{
    ATOM atom = RegisterEVButtonClass(GetModuleHandleA(nullptr));
    EXPECT_NE(atom, 0);
    EXPECT_EQ(RegisterEVButtonClass(GetModuleHandleA(nullptr)), atom);
    EXPECT_EQ(GetClassLongA(button_, GCW_ATOM), atom);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(button_, GCLP_HCURSOR)),
              LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(EVButtonTest, CreationWithoutTheRecordFails)
{
    const unsigned windows = CountThreadWindows();
    HWND bare = CreateWindowExA(0, "EVButton", "Ok", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(bare, nullptr);
    EXPECT_EQ(CountThreadWindows(), windows);
}

// Committed private memory (Wine leaves PrivateUsage at 0).
SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

TEST_F(EVButtonTest, AFailedCreationFreesItsRecord)
{
    // A child without a parent fails before it ever sees WM_CREATE. The
    // caption is large enough to make a leaked copy plain to see.
    const std::string caption(1 << 20, 'x');
    const unsigned windows = CountThreadWindows();
    const SIZE_T before = CommittedBytes();
    const int attempts = 40;
    for (int i = 0; i < attempts; ++i)
        ASSERT_EQ(CreateEVButton(nullptr, kCommandId, caption.c_str(), icon_, nullptr, 0, 0, kWidth,
                                 kHeight),
                  nullptr);
    EXPECT_LT(CommittedBytes(), before + attempts / 4 * caption.size()) << "a copy leaked per attempt";
    EXPECT_EQ(CountThreadWindows(), windows);
}

TEST_F(EVButtonTest, IdleLookWithTheParentsBackgroundInTheCorners)
{
    ExpectIdleLook();
    const POINT corners[] = {{0, 0}, {1, 1}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}};
    for (POINT corner : corners)
        EXPECT_EQ(Pixel(corner.x, corner.y), kParentColour) << "idle corner " << corner.x << "," << corner.y;
    // Repainted at once on hovering, the corners stay the parent's.
    PointAtMiddle();
    ExpectHotLook();
    for (POINT corner : corners)
        EXPECT_EQ(Pixel(corner.x, corner.y), kParentColour) << "hot corner " << corner.x << "," << corner.y;
}

TEST_F(EVButtonTest, HoveringLightsUpAndLeavingReleasesTheCapture)
{
    PointAtMiddle();
    ExpectHotLook();
    EXPECT_EQ(GetCapture(), button_);
    PointAt(10, 25);
    ExpectHotLook();
    PointBeside();
    ExpectIdleLook();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(commands.empty());
}

TEST_F(EVButtonTest, PressDragOffAndReleaseOutsideSendsNothing)
{
    PointAtMiddle();
    PressButton(LEFT_BUTTON);
    ExpectHeldLook();
    PointBeside();
    ExpectIdleLook();
    EXPECT_EQ(GetCapture(), button_) << "a held button keeps the capture outside";
    ReleaseButton(LEFT_BUTTON);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(GetCapture(), nullptr);
    ExpectIdleLook();
}

TEST_F(EVButtonTest, PressDragOffBackAndReleaseInsideClicksOnce)
{
    PointAtMiddle();
    PressButton(LEFT_BUTTON);
    PointBeside();
    PointAt(60, 10);
    ExpectHeldLook();
    ReleaseButton(LEFT_BUTTON);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(kCommandId));
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(commands[0].face, kNormalBlue) << "idle look before the parent hears of it";
    EXPECT_EQ(commands[0].capture, nullptr);
    // Releasing the capture makes the system report the pointer, still over
    // the button, afresh: it lights up again, nothing more.
    ExpectHotLook();
    EXPECT_EQ(GetCapture(), button_);
    PointBeside();
    ExpectIdleLook();
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(EVButtonTest, PressAndReleaseWithoutAMoveSendNothing)
{
    RecordButtonMessages(button_);
    swallowMoves = true;
    PointAtMiddle();
    PressButton(LEFT_BUTTON);
    ExpectIdleLook();
    EXPECT_EQ(GetCapture(), button_);
    ReleaseButton(LEFT_BUTTON);
    EXPECT_EQ(CountOf(buttonMessages, WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(CountOf(buttonMessages, WM_LBUTTONUP), 1u);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(GetCapture(), nullptr);
    ExpectIdleLook();
}

TEST_F(EVButtonTest, AMoveBetweenPressAndReleaseMakesItAClick)
{
    RecordButtonMessages(button_);
    swallowMoves = true;
    PointAtMiddle();
    PressButton(LEFT_BUTTON);
    swallowMoves = false;
    PointAt(kWidth / 2 + 1, kHeight / 2);
    ExpectHeldLook();
    ReleaseButton(LEFT_BUTTON);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(kCommandId));
}

TEST_F(EVButtonTest, KeyboardInputHasNoEffect)
{
    SetForegroundWindow(parent_);
    SetFocus(button_);
    ASSERT_EQ(GetFocus(), button_);
    RecordButtonMessages(button_);
    for (WORD key : {VK_TAB, VK_SPACE, VK_RETURN})
        TapKey(key);
    EXPECT_EQ(CountOf(buttonMessages, WM_KEYDOWN), 3u) << "the keys reached the button";
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(GetFocus(), button_);
    ExpectIdleLook();
}

TEST_F(EVButtonTest, LosingTheCaptureCancelsHoverAndPress)
{
    PointAtMiddle();
    PressButton(LEFT_BUTTON);
    ExpectHeldLook();
    SetCapture(parent_);
    ExpectIdleLook();
    ReleaseButton(LEFT_BUTTON);
    ReleaseCapture();
    EXPECT_TRUE(commands.empty());

    PointAt(30, 12);
    ExpectHotLook();
    ReleaseCapture(); // to no window at all
    ExpectIdleLook();
}

TEST_F(EVButtonTest, ANullCaptionCountsAsEmpty)
{
    HWND blank = CreateEVButton(parent_, 9, nullptr, icon_, nullptr, 120, 40, kWidth, kHeight);
    ASSERT_NE(blank, nullptr);
    UpdateWindow(blank);
    EXPECT_EQ(GetWindowTextLengthA(blank), 0);
    for (int x = 26; x < 78; ++x)
        ASSERT_NE(PixelOf(blank, x, kHeight / 2), kWhite) << "caption pixel at " << x;
}

TEST_F(EVButtonTest, NothingLeaksOverManyClicksNorAfterDestruction)
{
    DestroyWindow(button_);
    ParkPointer();
    const unsigned gdiObjects = CountGdiObjects();
    const unsigned windows = CountThreadWindows();
    button_ = buttonUnderTest =
        CreateEVButton(parent_, kCommandId, "Ok", icon_, nullptr, kButtonX, kButtonY, kWidth, kHeight);
    PumpMessages();
    const unsigned withButton = CountGdiObjects();
    const int cycles = 25;
    for (int i = 0; i < cycles; ++i) {
        PointAt(30 + i % 3, 12);
        PressButton(LEFT_BUTTON);
        PointBeside();
        PointAt(40, 15);
        ReleaseButton(LEFT_BUTTON);
        InvalidateRect(button_, nullptr, TRUE);
        UpdateWindow(button_);
        ParkPointer();
    }
    EXPECT_EQ(commands.size(), static_cast<size_t>(cycles));
    EXPECT_EQ(CountGdiObjects(), withButton);
    // Destroyed while held down, with the capture.
    PointAtMiddle();
    PressButton(LEFT_BUTTON);
    DestroyWindow(button_);
    button_ = nullptr;
    ReleaseButton(LEFT_BUTTON);
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), gdiObjects);
    EXPECT_EQ(CountThreadWindows(), windows);
}

// The launcher registers its classes at start and unregisters them at exit,
// and a test may run it twice in one process.
TEST(EVButtonClassTest, UnregisteredOnlyWithoutButtonsAndRegisteredAnew)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterEVButtonClass(instance), 0);
    HWND parent = CreateParent(kParentColour, 240, 120);
    HWND button = CreateEVButton(parent, kCommandId, "Ok", nullptr, nullptr, 0, 0, kWidth, kHeight);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(UnregisterEVButtonClass(instance)) << "a button of the class exists";
    EXPECT_EQ(GetClassLongA(button, GCW_ATOM), RegisterEVButtonClass(instance));
    DestroyWindow(button);

    const unsigned registered = CountGdiObjects();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(UnregisterEVButtonClass(instance));
        WNDCLASSA found;
        EXPECT_FALSE(GetClassInfoA(instance, "EVButton", &found));
        EXPECT_EQ(CountGdiObjects(), registered - 1) << "the class brush went with the class";
        EXPECT_EQ(CreateEVButton(parent, kCommandId, "Ok", nullptr, nullptr, 0, 0, kWidth, kHeight),
                  nullptr);
        EXPECT_TRUE(UnregisterEVButtonClass(instance)) << "nothing left to unregister";

        ATOM atom = RegisterEVButtonClass(instance);
        ASSERT_NE(atom, 0);
        EXPECT_EQ(CountGdiObjects(), registered);
        button = CreateEVButton(parent, kCommandId, "Ok", nullptr, nullptr, 0, 0, kWidth, kHeight);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(GetClassLongA(button, GCW_ATOM), atom);
        DestroyWindow(button);
    }
    DestroyWindow(parent);
}

// The hint dialog's pair: its font, background and places.
class DialogButtonsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterEVButtonClass(GetModuleHandleA(nullptr)); }

    void SetUp() override
    {
        ParkPointer();
        LOGFONTA description = {};
        description.lfHeight = -12;
        description.lfWeight = 800;
        description.lfCharSet = DEFAULT_CHARSET;
        lstrcpyA(description.lfFaceName, "Comic Sans MS");
        font_ = CreateFontIndirectA(&description);
        parent_ = CreateParent(RGB(0x66, 0xCC, 0xFF), 230, 80);
        icon_ = CreateSolidIcon(RGB(255, 255, 0));
        confirm_ = CreateEVButton(parent_, 1, kConfirm, icon_, font_, 55, 45, kWidth, kHeight);
        cancel_ = CreateEVButton(parent_, 2, kCancel, icon_, font_, 135, 45, kWidth, kHeight);
        buttonUnderTest = confirm_;
        commands.clear();
        PumpMessages();
    }

    void TearDown() override
    {
        ReleaseButton(LEFT_BUTTON);
        ParkPointer();
        DestroyWindow(parent_);
        DeleteObject(font_);
        DestroyIcon(icon_);
    }

    // Columns of the button holding white caption pixels: first and last.
    static void CaptionSpan(HWND button, int* first, int* last)
    {
        *first = kWidth;
        *last = -1;
        for (int x = 0; x < kWidth; ++x) {
            for (int y = 0; y < kHeight; ++y) {
                if (PixelOf(button, x, y) == kWhite) {
                    *first = x < *first ? x : *first;
                    *last = x;
                    break;
                }
            }
        }
    }

    static int TextWidth(const wchar_t* text, HFONT font)
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return size.cx;
    }

    static constexpr const char* kConfirm = "Ok";
    static constexpr const char* kCancel = "\xCE\xF2\xEC\xE5\xED\xE0"; // "Отмена" in Windows-1251

    HFONT font_ = nullptr;
    HWND parent_ = nullptr;
    HWND confirm_ = nullptr;
    HWND cancel_ = nullptr;
    HICON icon_ = nullptr;
};

TEST_F(DialogButtonsTest, CaptionsAreWholeAndCentredBesideTheIcon)
{
    ASSERT_NE(confirm_, nullptr);
    ASSERT_NE(cancel_, nullptr);
    for (HWND button : {confirm_, cancel_}) {
        // What a reader sees, whatever the system's code page.
        const wchar_t* caption = button == confirm_ ? L"Ok" : L"Отмена";
        int first, last;
        CaptionSpan(button, &first, &last);
        const int width = TextWidth(caption, font_);
        ASSERT_GT(width, 0);
        EXPECT_GE(first, 25) << caption;
        EXPECT_LE(last, 77) << caption;
        EXPECT_NEAR(last - first + 1, width, 3) << caption;
        EXPECT_NEAR((first + last + 1) / 2.0, (25 + 78) / 2.0, 2.0) << caption;
        wchar_t name[16] = L""; // as another program reads it, without a message
        InternalGetWindowText(button, name, 16);
        EXPECT_STREQ(name, caption);
    }
}

TEST_F(DialogButtonsTest, HeldTheCaptionMovesWithTheGrownIcon)
{
    POINT middle = {kWidth / 2, kHeight / 2};
    ClientToScreen(cancel_, &middle);
    MovePointerTo(middle.x, middle.y);
    PressButton(LEFT_BUTTON);
    int first, last;
    CaptionSpan(cancel_, &first, &last);
    EXPECT_GE(first, 28);
    EXPECT_NEAR((first + last + 1) / 2.0, (28 + 78) / 2.0, 2.0);
    ReleaseButton(LEFT_BUTTON);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 2);
}

} // namespace
