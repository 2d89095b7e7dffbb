// The tooltip as a real window: its class, its size after every text and icon
// change, what it answers, what it paints on the screen, and what it leaves
// behind.
#include "tooltip/tooltip.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win/support/gui_objects.h"
#include "tests/win/support/input.h"
#include "tests/win/support/pixels.h"

namespace {

const COLORREF kSkyBlue = 0x00FFCC66;
const COLORREF kBlack = 0x00000000;
const COLORREF kIconRed = 0x000000FF;
const COLORREF kIconGreen = 0x0000FF00;

HFONT MakeFont(const char* face, int height)
{
    LOGFONTA description = {};
    description.lfHeight = height;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(description.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&description);
}

struct TextMeasure {
    int averageCharWidth;
    int width;
    int height;
};

// What the font makes of the text, measured apart from any tooltip.
TextMeasure Measure(HFONT font, const char* text)
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(screen, font);
    TEXTMETRICA metrics;
    GetTextMetricsA(screen, &metrics);
    SIZE extent;
    GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
    return {metrics.tmAveCharWidth, extent.cx, extent.cy};
}

// Bounds of the pixels that differ from the background within a bitmap-like
// reader's rectangle; right and bottom inclusive, left > right when none.
struct InkBounds {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < left; }
};

template <typename PixelAt>
InkBounds FindInk(PixelAt pixelAt, RECT area, COLORREF background)
{
    InkBounds ink;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (pixelAt(x, y) == background)
                continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// The text drawn at (0, 0) on the background, as a reference for where its
// ink lies relative to the point TextOutA is given.
InkBounds ReferenceInk(HFONT font, const char* text, COLORREF textColor, COLORREF backColor)
{
    TextMeasure measure = Measure(font, text);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, measure.width + 20, measure.height + 20);
    HGDIOBJ oldBitmap = SelectObject(memory, canvas);
    HGDIOBJ oldFont = SelectObject(memory, font);
    HBRUSH brush = CreateSolidBrush(backColor);
    RECT all = {0, 0, measure.width + 20, measure.height + 20};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, textColor);
    TextOutA(memory, 0, 0, text, lstrlenA(text));
    InkBounds ink = FindInk([&](int x, int y) { return GetPixel(memory, x, y); }, all, backColor);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

// Bytes in use on the C runtime's heap, where the tooltip keeps its record
// and its text.
size_t HeapBytesInUse()
{
    _HEAPINFO entry = {};
    size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        used += entry._useflag == _USEDENTRY ? entry._size : 0;
    return used;
}

SIZE WindowSize(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

ToolTipState* StateOf(HWND window)
{
    return reinterpret_cast<ToolTipState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

HICON SetIcon(HWND window, HICON icon)
{
    return reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)));
}

const char kOwnerClass[] = "ToolTipTestOwner";

class ToolTipTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA ownerClass = {};
        ownerClass.lpfnWndProc = DefWindowProcA;
        ownerClass.hInstance = instance;
        ownerClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        ownerClass.lpszClassName = kOwnerClass;
        RegisterClassA(&ownerClass);
        RegisterToolTipClass(instance);
    }

    void SetUp() override
    {
        // Hidden, as the ring window may be: destroying an active window costs
        // Wine two seconds.
        owner_ = CreateWindowExA(0, kOwnerClass, "owner", WS_POPUP, 900, 700, 60, 60, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        mono_ = MakeFont("Courier New", -12);
        red_ = MakeSolidIcon(kIconRed);
        green_ = MakeSolidIcon(kIconGreen);
        PumpMessages();
    }

    void TearDown() override
    {
        DestroyWindow(owner_); // takes the tooltips it owns along
        DestroyIcon(red_);
        DestroyIcon(green_);
        DeleteObject(mono_);
        PumpMessages();
    }

    HWND MakeToolTip(HFONT font, COLORREF backColor = kSkyBlue, COLORREF textColor = kBlack)
    {
        HWND window = CreateToolTip(owner_, font, backColor, textColor);
        EXPECT_NE(window, nullptr);
        return window;
    }

    // Places the tooltip on the screen without activating it and lets it paint.
    void ShowAt(HWND window, int x, int y)
    {
        SIZE size = WindowSize(window);
        MoveWindow(window, x, y, size.cx, size.cy, TRUE);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
        PumpMessages(100);
    }

    HWND owner_ = nullptr;
    HFONT mono_ = nullptr;
    HICON red_ = nullptr;
    HICON green_ = nullptr;
};

TEST_F(ToolTipTest, ClassIsRegisteredOnceWithShadowByVersion)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ATOM atom = RegisterToolTipClass(instance);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterToolTipClass(instance), atom);
    EXPECT_EQ(RegisterToolTipClass(nullptr), atom);

    WNDCLASSEXA found = {sizeof found};
    ASSERT_TRUE(GetClassInfoExA(instance, "ZR_ToolTip_Class", &found));
    EXPECT_STREQ(kToolTipClassName, "ZR_ToolTip_Class");
    EXPECT_EQ(found.style, SupportsDropShadow() ? static_cast<UINT>(CS_DROPSHADOW) : 0u);
    EXPECT_EQ(found.lpfnWndProc, ToolTipWndProc);
    EXPECT_EQ(found.cbClsExtra, 0);
    EXPECT_EQ(found.cbWndExtra, 0);
    EXPECT_EQ(found.hIcon, nullptr);
    EXPECT_EQ(found.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(found.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(found.lpszMenuName, nullptr);

    OSVERSIONINFOA version = {sizeof version};
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(SupportsDropShadow(),
              DropShadowForVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion));
}

TEST_F(ToolTipTest, CreatedHiddenDisabledOwnedAndEmpty)
{
    unsigned windowsBefore = CountThreadWindows();
    HWND tip = MakeToolTip(mono_, kSkyBlue, kBlack);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(CountThreadWindows(), windowsBefore + 1);

    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_FALSE(IsWindowEnabled(tip));
    LONG style = GetWindowLongA(tip, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_CHILD));
    LONG exStyle = GetWindowLongA(tip, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), owner_);
    RECT bounds;
    GetWindowRect(tip, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 100);
    EXPECT_EQ(bounds.bottom, 20);

    ToolTipState* state = StateOf(tip);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->font, mono_);
    EXPECT_EQ(state->textColor, kBlack);
    EXPECT_EQ(state->backColor, kSkyBlue);
    EXPECT_EQ(state->text, nullptr);
    EXPECT_EQ(state->icon, nullptr);
    EXPECT_EQ(state->window, tip);

    // It dies with its owner.
    DestroyWindow(owner_);
    EXPECT_FALSE(IsWindow(tip));
    owner_ = nullptr;
}

TEST_F(ToolTipTest, CreationWithoutCreationDataFails)
{
    unsigned windowsBefore = CountThreadWindows();
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kToolTipClassName, nullptr, WS_POPUP, 0, 0, 100, 20, owner_,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
}

TEST_F(ToolTipTest, SizesItselfToTextAndIcon)
{
    HWND tip = MakeToolTip(mono_);
    const char* texts[] = {"Hello, tooltip", "\xcf\xf0\xe8\xe2\xe5\xf2 W", "i"}; // the second in Windows-1251
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        TextMeasure measure = Measure(mono_, text);
        ASSERT_GT(measure.averageCharWidth, 2);
        EXPECT_TRUE(SetWindowTextA(tip, text)); // a set text is reported as set

        SIZE plain = WindowSize(tip);
        EXPECT_EQ(plain.cx, measure.width + 4 * measure.averageCharWidth);
        EXPECT_EQ(plain.cy, measure.height + 4);
        EXPECT_EQ(marginX, 2 * measure.averageCharWidth);
        EXPECT_EQ(iconRoom, 0);

        EXPECT_EQ(SetIcon(tip, red_), nullptr);
        SIZE withIcon = WindowSize(tip);
        EXPECT_EQ(withIcon.cx, plain.cx + 32);
        EXPECT_EQ(withIcon.cy, std::max(measure.height, 32) + 4);
        EXPECT_EQ(iconRoom, 32);
        // The owner places the tooltip by its client rectangle: it is the whole window.
        RECT client;
        GetClientRect(tip, &client);
        EXPECT_EQ(client.right, withIcon.cx);
        EXPECT_EQ(client.bottom, withIcon.cy);

        EXPECT_EQ(SetIcon(tip, green_), red_);
        EXPECT_EQ(WindowSize(tip).cx, withIcon.cx);
        EXPECT_EQ(SetIcon(tip, nullptr), green_);
        SIZE shrunk = WindowSize(tip);
        EXPECT_EQ(shrunk.cx, withIcon.cx - 32);
        EXPECT_EQ(shrunk.cy, measure.height + 4);
        EXPECT_EQ(SetIcon(tip, nullptr), nullptr);
    }
}

TEST_F(ToolTipTest, MonospacedTextGivesTheCharacterArithmetic)
{
    HWND tip = MakeToolTip(mono_);
    TextMeasure measure = Measure(mono_, "x");
    ASSERT_EQ(measure.width, measure.averageCharWidth); // Liberation Mono in the prefix
    SetWindowTextA(tip, "0123456789");
    SetIcon(tip, red_);
    // Ten characters, two on either side as margins, the icon room.
    EXPECT_EQ(WindowSize(tip).cx, 14 * measure.averageCharWidth + 32);
}

TEST_F(ToolTipTest, EmptyOrNullTextKeepsOnlyMarginsAndIcon)
{
    HWND tip = MakeToolTip(mono_);
    TextMeasure measure = Measure(mono_, "");
    SetWindowTextA(tip, "something");
    SetIcon(tip, red_);
    for (const char* text : {"", static_cast<const char*>(nullptr)}) {
        SetWindowTextA(tip, "something");
        EXPECT_TRUE(SetWindowTextA(tip, text));
        EXPECT_EQ(StateOf(tip)->text, nullptr);
        EXPECT_EQ(WindowSize(tip).cx, 4 * measure.averageCharWidth + 32);
        EXPECT_EQ(WindowSize(tip).cy, 36);
    }
}

TEST_F(ToolTipTest, ResizesWhileHiddenWithoutShowingOrMoving)
{
    HWND tip = MakeToolTip(mono_);
    MoveWindow(tip, 300, 200, 100, 20, FALSE);
    SetWindowTextA(tip, "A rather longer hint than the window is wide");
    RECT bounds;
    GetWindowRect(tip, &bounds);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(bounds.left, 300);
    EXPECT_EQ(bounds.top, 200);
    EXPECT_GT(bounds.right - bounds.left, 100);
    SetIcon(tip, red_);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(WindowSize(tip).cy, 36);
}

TEST_F(ToolTipTest, TextCannotBeReadBack)
{
    HWND tip = MakeToolTip(mono_);
    SetWindowTextA(tip, "secret");
    char buffer[32];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowTextA(tip, buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(GetWindowTextLengthA(tip), 0);

    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SendMessageA(tip, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0'); // terminated even when asked directly
    EXPECT_EQ(SendMessageA(tip, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(SendMessageA(tip, WM_GETTEXT, sizeof buffer, 0), 0);

    // The text never reached the default procedure: the caption is empty.
    WCHAR caption[32] = L"x";
    EXPECT_EQ(InternalGetWindowText(tip, caption, 32), 0);
    EXPECT_STREQ(StateOf(tip)->text, "secret");
}

TEST_F(ToolTipTest, KeepsItsOwnCopyOfTheText)
{
    HWND tip = MakeToolTip(mono_);
    const char original[] = "WWWWWWWWWWWW";
    char* buffer = static_cast<char*>(malloc(sizeof original));
    memcpy(buffer, original, sizeof original);
    SetWindowTextA(tip, buffer);
    const char* kept = StateOf(tip)->text;
    memset(buffer, 0, sizeof original);
    buffer[0] = 'i';
    free(buffer);

    EXPECT_STREQ(StateOf(tip)->text, original);
    EXPECT_EQ(strlen(kept) + 1, sizeof original); // exact size, not the caller's buffer
    SetIcon(tip, red_); // measures the text again
    EXPECT_EQ(WindowSize(tip).cx, Measure(mono_, original).width + 4 * Measure(mono_, "").averageCharWidth + 32);
}

TEST_F(ToolTipTest, VerticalMarginStaysWhileHorizontalFollowsTheFont)
{
    struct FontCase {
        const char* face;
        int height;
    } cases[] = {{"Courier New", -8},   {"Comic Sans MS", -12}, {"Courier New", -33},
                 {"Liberation Serif", -17}, {"Comic Sans MS", -40}, {"Courier New", -12}};
    std::vector<int> seenMargins;
    for (const FontCase& fontCase : cases) {
        SCOPED_TRACE(std::string(fontCase.face) + " " + std::to_string(fontCase.height));
        HFONT font = MakeFont(fontCase.face, fontCase.height);
        HWND tip = MakeToolTip(font);
        TextMeasure measure = Measure(font, "Margins");
        SetWindowTextA(tip, "Margins");
        EXPECT_EQ(avgCharWidth, measure.averageCharWidth);
        EXPECT_EQ(marginX, 2 * measure.averageCharWidth);
        EXPECT_EQ(marginY, 4);
        EXPECT_EQ(WindowSize(tip).cy, measure.height + 4);
        seenMargins.push_back(marginX);
        DestroyWindow(tip);
        DeleteObject(font);
    }
    EXPECT_NE(seenMargins.front(), seenMargins[2]); // the fonts really differ
}

TEST_F(ToolTipTest, TakesNoMouseInputAndNoActivation)
{
    ShowWindow(owner_, SW_SHOW);
    SetForegroundWindow(owner_);
    HWND tip = MakeToolTip(mono_);
    SetWindowTextA(tip, "Click me if you can");
    SetIcon(tip, red_);
    ShowAt(tip, 400, 300);
    EXPECT_EQ(SendMessageA(tip, WM_NCHITTEST, 0, MAKELPARAM(410, 310)), HTNOWHERE);
    EXPECT_EQ(GetActiveWindow(), owner_);

    static std::vector<UINT>* received;
    static WNDPROC original;
    std::vector<UINT> log;
    received = &log;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            received->push_back(message);
            return CallWindowProcA(original, window, message, wParam, lParam);
        })));
    ClickAt(420, 310);
    PumpMessages(100);
    for (UINT message : log) {
        EXPECT_NE(message, static_cast<UINT>(WM_LBUTTONDOWN));
        EXPECT_NE(message, static_cast<UINT>(WM_LBUTTONUP));
        EXPECT_NE(message, static_cast<UINT>(WM_NCLBUTTONDOWN));
        EXPECT_NE(message, static_cast<UINT>(WM_MOUSEACTIVATE));
        EXPECT_NE(message, static_cast<UINT>(WM_ACTIVATE));
        EXPECT_NE(message, static_cast<UINT>(WM_SETFOCUS));
    }
    EXPECT_NE(GetActiveWindow(), tip);
    EXPECT_NE(GetFocus(), tip);
    EXPECT_TRUE(IsWindowVisible(tip));
    SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

// Reads the tooltip's pixels back from the screen.
class PaintedToolTipTest : public ToolTipTest {
protected:
    COLORREF TipPixel(int x, int y)
    {
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, left_ + x, top_ + y);
        ReleaseDC(nullptr, screen);
        return colour;
    }

    void Show(HWND tip)
    {
        ShowAt(tip, left_, top_);
        size_ = WindowSize(tip);
    }

    // Every pixel of the outermost ring is in the colour, none inside it.
    void ExpectFrame(COLORREF colour)
    {
        for (int x = 0; x < size_.cx; ++x) {
            ASSERT_EQ(TipPixel(x, 0), colour) << "top, x " << x;
            ASSERT_EQ(TipPixel(x, size_.cy - 1), colour) << "bottom, x " << x;
        }
        for (int y = 0; y < size_.cy; ++y) {
            ASSERT_EQ(TipPixel(0, y), colour) << "left, y " << y;
            ASSERT_EQ(TipPixel(size_.cx - 1, y), colour) << "right, y " << y;
        }
    }

    InkBounds InkOf(RECT area, COLORREF background)
    {
        HDC screen = GetDC(nullptr);
        InkBounds ink =
            FindInk([&](int x, int y) { return GetPixel(screen, left_ + x, top_ + y); }, area, background);
        ReleaseDC(nullptr, screen);
        return ink;
    }

    int left_ = 320;
    int top_ = 240;
    SIZE size_ = {};
};

TEST_F(PaintedToolTipTest, FrameFillIconAndText)
{
    const COLORREF textColor = 0x00102030; // not black: the frame is in the text colour
    HWND tip = MakeToolTip(mono_, kSkyBlue, textColor);
    const char* text = "Notepad";
    SetWindowTextA(tip, text);
    SetIcon(tip, red_);
    Show(tip);
    ASSERT_EQ(size_.cy, 36);
    ExpectFrame(textColor);

    // The icon fills (1, 1) to (32, 32).
    EXPECT_EQ(TipPixel(1, 1), kIconRed);
    EXPECT_EQ(TipPixel(32, 1), kIconRed);
    EXPECT_EQ(TipPixel(1, 32), kIconRed);
    EXPECT_EQ(TipPixel(32, 32), kIconRed);
    EXPECT_EQ(TipPixel(33, 1), kSkyBlue);
    EXPECT_EQ(TipPixel(1, 33), kSkyBlue);

    // The text starts at x = marginX + 32, y = 2, exactly as TextOutA places it.
    InkBounds reference = ReferenceInk(mono_, text, textColor, kSkyBlue);
    ASSERT_FALSE(reference.Empty());
    RECT inside = {33, 1, size_.cx - 1, size_.cy - 1};
    InkBounds ink = InkOf(inside, kSkyBlue);
    ASSERT_FALSE(ink.Empty());
    EXPECT_EQ(ink.left, marginX + 32 + reference.left);
    EXPECT_EQ(ink.right, marginX + 32 + reference.right);
    EXPECT_EQ(ink.top, 2 + reference.top);
    EXPECT_EQ(ink.bottom, 2 + reference.bottom);
    // marginX of background to the right of the text's advance.
    EXPECT_LE(ink.right, size_.cx - 1 - marginX);
}

TEST_F(PaintedToolTipTest, WithoutIconTheTextStartsAtTheMargin)
{
    HWND tip = MakeToolTip(mono_);
    const char* text = "Hint without icon";
    SetWindowTextA(tip, text);
    Show(tip);
    ExpectFrame(kBlack);
    InkBounds reference = ReferenceInk(mono_, text, kBlack, kSkyBlue);
    RECT inside = {1, 1, size_.cx - 1, size_.cy - 1};
    InkBounds ink = InkOf(inside, kSkyBlue);
    EXPECT_EQ(ink.left, marginX + reference.left);
    EXPECT_EQ(ink.top, 2 + reference.top);
    EXPECT_EQ(TipPixel(1, 1), kSkyBlue);
}

TEST_F(PaintedToolTipTest, IconOnlyAndChangesWhileShown)
{
    HWND tip = MakeToolTip(mono_);
    SetIcon(tip, green_);
    Show(tip);
    EXPECT_EQ(size_.cx, 4 * Measure(mono_, "").averageCharWidth + 32);
    ExpectFrame(kBlack);
    EXPECT_EQ(TipPixel(16, 16), kIconGreen);
    EXPECT_TRUE(InkOf({33, 1, size_.cx - 1, size_.cy - 1}, kSkyBlue).Empty());

    // A new icon on a visible tooltip is painted at once.
    SetIcon(tip, red_);
    UpdateWindow(tip);
    PumpMessages(100);
    EXPECT_EQ(TipPixel(16, 16), kIconRed);
    SetIcon(tip, nullptr);
    UpdateWindow(tip);
    PumpMessages(100);
    size_ = WindowSize(tip);
    EXPECT_EQ(size_.cx, 4 * Measure(mono_, "").averageCharWidth);
    ExpectFrame(kBlack);
}

TEST_F(PaintedToolTipTest, LongHintIsDrawnInFullOnOneLine)
{
    HFONT comic = MakeFont("Comic Sans MS", -12);
    HWND tip = MakeToolTip(comic);
    const char* text = "A very long hint that goes on and on across the screen, never wrapped";
    SetWindowTextA(tip, text);
    SetIcon(tip, red_);
    Show(tip);
    InkBounds reference = ReferenceInk(comic, text, kBlack, kSkyBlue);
    InkBounds ink = InkOf({33, 1, size_.cx - 1, size_.cy - 1}, kSkyBlue);
    EXPECT_EQ(ink.right - ink.left, reference.right - reference.left);
    EXPECT_EQ(ink.bottom - ink.top, reference.bottom - reference.top); // one line high
    EXPECT_LT(ink.right, size_.cx - 1);
    DestroyWindow(tip);
    DeleteObject(comic);
}

TEST_F(ToolTipTest, DrawingPutsBackWhatItSelected)
{
    HWND tip = MakeToolTip(mono_);
    SetWindowTextA(tip, "Memory");
    SetIcon(tip, red_);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 200, 50);
    HGDIOBJ oldBitmap = SelectObject(memory, canvas);
    HGDIOBJ font = GetCurrentObject(memory, OBJ_FONT);
    HGDIOBJ pen = GetCurrentObject(memory, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(memory, OBJ_BRUSH);
    SetTextColor(memory, 0x00123456);
    SetBkMode(memory, OPAQUE);
    unsigned objectsBefore = CountGdiObjects();

    DrawToolTip(StateOf(tip), memory);

    EXPECT_EQ(GetCurrentObject(memory, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(memory, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), brush);
    EXPECT_EQ(GetTextColor(memory), 0x00123456u);
    EXPECT_EQ(GetBkMode(memory), OPAQUE);
    EXPECT_EQ(CountGdiObjects(), objectsBefore);
    EXPECT_EQ(GetPixel(memory, 0, 0), kBlack);
    EXPECT_EQ(GetPixel(memory, 5, 5), kIconRed);
    EXPECT_EQ(GetPixel(memory, 34, 34), kSkyBlue);

    SelectObject(memory, oldBitmap);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(ToolTipTest, LeavesNoGdiObjectsOrWindowsBehind)
{
    unsigned objectsBefore = CountGdiObjects();
    unsigned windowsBefore = CountThreadWindows();
    HWND tip = MakeToolTip(mono_);
    const char* texts[] = {"first", "", "a much longer second text", nullptr, "\xc0\xc1\xc2"};
    HICON icons[] = {red_, nullptr, green_};
    for (int i = 0; i < 300; ++i) {
        SetWindowTextA(tip, texts[i % 5]);
        SetIcon(tip, icons[i % 3]);
        if (i % 10 == 0) {
            ShowWindow(tip, SW_SHOWNOACTIVATE);
            UpdateWindow(tip);
        } else if (i % 10 == 5) {
            ShowWindow(tip, SW_HIDE);
        }
    }
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), objectsBefore);
    DestroyWindow(tip);
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), objectsBefore);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
    // The icons and the font are the caller's: still alive.
    ICONINFO parts;
    ASSERT_TRUE(GetIconInfo(red_, &parts));
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    HDC screen = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(screen, mono_); // a deleted font cannot be selected
    EXPECT_NE(oldFont, nullptr);
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
}

TEST_F(ToolTipTest, FreesItsTextAndRecordWithTheWindow)
{
    std::string text(4000, 'w');
    std::string other(3000, 'm');
    DestroyWindow(MakeToolTip(mono_)); // the runtime's own first allocations
    size_t before = HeapBytesInUse();
    for (int i = 0; i < 50; ++i) {
        HWND tip = MakeToolTip(mono_);
        SetWindowTextA(tip, text.c_str());
        SetWindowTextA(tip, other.c_str());
        DestroyWindow(tip);
    }
    // One text or record left behind per window would add up to 150 kB.
    EXPECT_LT(HeapBytesInUse(), before + 8192);
}

} // namespace
