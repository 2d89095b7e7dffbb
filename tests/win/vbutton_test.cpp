// The ring button as its parent and a person meet it: real pointer input on
// real windows, the parent's log of messages, and the pixels on screen.
#include "ring/vbutton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/slots.h"
#include "tests/common/layout_sector.h"
#include "tests/win/support/gui_objects.h"
#include "tests/win/support/input.h"
#include "tests/win/support/pixels.h"

namespace {

const COLORREF kNormal = RGB(0, 136, 204);
const COLORREF kHover = RGB(85, 170, 255);
const COLORREF kFace = RGB(10, 20, 30); // the test parent's own background
const POINT kParentOrigin = {100, 100};

// What the parent heard, one line a message.
std::vector<std::string> heard;
LRESULT slotMenuResult = 1;
LRESULT dropResult = -2;
LPARAM lastMenuState = 0, lastDropState = 0;
WPARAM lastDropHandle = 0;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_SLOTHOVER: {
        const SlotHoverInfo* hover = reinterpret_cast<const SlotHoverInfo*>(lParam);
        heard.push_back("hover " + std::to_string(hover->show) + " slot " + std::to_string(hover->slot) +
                        " at " + std::to_string(hover->x) + "," + std::to_string(hover->y));
        return 0;
    }
    case UM_SLOTCLICK:
        heard.push_back("click " + std::to_string(wParam) +
                        (reinterpret_cast<HWND>(lParam) == window ? " from parent" : " ?"));
        return 0;
    case UM_SLOTMENU:
        heard.push_back("menu " + std::to_string(wParam));
        lastMenuState = lParam;
        return slotMenuResult;
    case WM_DROPFILES:
        heard.push_back("drop");
        lastDropHandle = wParam;
        lastDropState = lParam;
        return dropResult;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The log up to its last line that is not a hover: a pointer that stays on
// the sector after a release hovers it again, as the system sends a move then.
std::vector<std::string> HeardUpToLastReport()
{
    std::vector<std::string> lines = heard;
    while (!lines.empty() && lines.back().rfind("hover 1", 0) == 0)
        lines.pop_back();
    return lines;
}

class VButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_NE(RegisterVButtonClass(GetModuleHandleA(nullptr)), 0);
        EXPECT_EQ(RegisterVButtonClass(GetModuleHandleA(nullptr)), RegisterVButtonClass(nullptr));
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = RecordingParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        parentClass.hbrBackground = CreateSolidBrush(kFace);
        parentClass.lpszClassName = "RecordingParent";
        RegisterClassA(&parentClass);
    }
    static void TearDownTestSuite() { UnregisterVButtonClass(); }

    void SetUp() override
    {
        MovePointerTo(20, 20); // well away from the ring
        parent_ = CreateWindowExA(WS_EX_TOPMOST, "RecordingParent", "", WS_POPUP | WS_VISIBLE,
                                  kParentOrigin.x, kParentOrigin.y, 200, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        RingLayoutEntry layout[SLOT_COUNT];
        BuildRingLayout(layout);
        for (int i = 0; i < SLOT_COUNT; ++i) {
            buttons_[i] = CreateVButton(parent_, i, nullptr, RING_CENTRE_X, RING_CENTRE_Y,
                                        layout[i].startAngle, layout[i].angularWidth,
                                        layout[i].innerRadius, layout[i].outerRadius);
        }
        SetForegroundWindow(parent_);
        PumpMessages(100);
        heard.clear();
        slotMenuResult = 1;
    }
    void TearDown() override
    {
        DestroyWindow(parent_);
        MovePointerTo(20, 20);
        PumpMessages(30);
    }

    static VButtonState* State(HWND button)
    {
        return reinterpret_cast<VButtonState*>(GetWindowLongPtrA(button, GWLP_USERDATA));
    }
    // The screen point at the middle of a slot's icon, which is on its sector.
    POINT SectorMiddle(int slot)
    {
        VButtonState* state = State(buttons_[slot]);
        POINT point = {state->sector.iconX + 10, state->sector.iconY + 10};
        ClientToScreen(buttons_[slot], &point);
        return point;
    }
    // A screen point on the face that no sector covers: the centre disc.
    POINT FacePoint() { return {kParentOrigin.x + 100, kParentOrigin.y + 100}; }
    void MoveTo(POINT point) { MovePointerTo(point.x, point.y); }

    HWND parent_ = nullptr;
    HWND buttons_[SLOT_COUNT] = {};
};

TEST_F(VButtonTest, HoverReportsTheIconAnchorOnScreen)
{
    MoveTo(SectorMiddle(1));
    MoveTo({SectorMiddle(1).x + 1, SectorMiddle(1).y}); // a second move on the sector says nothing
    // The first outer sector's anchor: client origin plus (168, 74).
    const std::string expected = "hover 1 slot 1 at " + std::to_string(kParentOrigin.x + 168) + "," +
                                 std::to_string(kParentOrigin.y + 74);
    EXPECT_EQ(heard, std::vector<std::string>{expected});
    EXPECT_TRUE(State(buttons_[1])->hovered);
    EXPECT_EQ(GetCapture(), buttons_[1]);
}

TEST_F(VButtonTest, ClickIsHoverOffThenClick)
{
    MoveTo(SectorMiddle(4));
    heard.clear();
    PressButton(LEFT_BUTTON);
    ReleaseButton(LEFT_BUTTON);
    EXPECT_EQ(HeardUpToLastReport(), (std::vector<std::string>{"hover 0 slot 4 at 0,0", "click 4 from parent"}));
    EXPECT_EQ(State(buttons_[4])->pressState, 0);
}

TEST_F(VButtonTest, TwoQuickClicksAreTwoClicks)
{
    MoveTo(SectorMiddle(0));
    PressButton(LEFT_BUTTON);
    ReleaseButton(LEFT_BUTTON);
    MoveTo({SectorMiddle(0).x, SectorMiddle(0).y + 1});
    PressButton(LEFT_BUTTON);
    ReleaseButton(LEFT_BUTTON);
    int clicks = 0;
    for (const std::string& line : heard)
        clicks += line == "click 0 from parent";
    EXPECT_EQ(clicks, 2);
}

TEST_F(VButtonTest, RightClickIsHoverOffThenSlotMenu)
{
    MoveTo(SectorMiddle(7));
    heard.clear();
    PressButton(RIGHT_BUTTON);
    ReleaseButton(RIGHT_BUTTON);
    EXPECT_EQ(HeardUpToLastReport(), (std::vector<std::string>{"hover 0 slot 7 at 0,0", "menu 7"}));
    EXPECT_EQ(lastMenuState, reinterpret_cast<LPARAM>(State(buttons_[7])));
}

TEST_F(VButtonTest, LeavingWithoutAButtonSaysHoverOffTwice)
{
    const POINT middle = SectorMiddle(2);
    MoveTo(middle);
    MoveTo(FacePoint());
    EXPECT_EQ(heard, (std::vector<std::string>{
                         "hover 1 slot 2 at " + std::to_string(middle.x - 10) + "," +
                             std::to_string(middle.y - 10),
                         "hover 0 slot 2 at 0,0", "hover 0 slot 2 at 0,0"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(VButtonTest, DragOffAndReleaseIsNoClick)
{
    MoveTo(SectorMiddle(3));
    PressButton(LEFT_BUTTON);
    MoveTo(FacePoint());
    EXPECT_EQ(GetCapture(), buttons_[3]); // a press keeps the capture off the sector
    ReleaseButton(LEFT_BUTTON);
    EXPECT_EQ(heard.back(), "hover 0 slot 3 at 0,0");
    for (const std::string& line : heard)
        EXPECT_EQ(line.find("click"), std::string::npos) << line;
    EXPECT_FALSE(State(buttons_[3])->hovered);
    EXPECT_EQ(State(buttons_[3])->pressState, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(VButtonTest, DragOffAndBackIsOneClick)
{
    MoveTo(SectorMiddle(3));
    PressButton(LEFT_BUTTON);
    MoveTo(FacePoint());
    MoveTo(SectorMiddle(3));
    ReleaseButton(LEFT_BUTTON);
    const std::string on = "hover 1 slot 3 at " + std::to_string(SectorMiddle(3).x - 10) + "," +
                           std::to_string(SectorMiddle(3).y - 10);
    EXPECT_EQ(HeardUpToLastReport(), (std::vector<std::string>{on, "hover 0 slot 3 at 0,0", on,
                                                               "hover 0 slot 3 at 0,0", "click 3 from parent"}));
}

TEST_F(VButtonTest, LeftThenRightPressReleasedLeftIsAClick)
{
    MoveTo(SectorMiddle(5));
    PressButton(LEFT_BUTTON);
    PressButton(RIGHT_BUTTON);
    EXPECT_EQ(State(buttons_[5])->pressState, 2);
    ReleaseButton(LEFT_BUTTON);
    EXPECT_EQ(HeardUpToLastReport().back(), "click 5 from parent");
    heard.clear();
    ReleaseButton(RIGHT_BUTTON);
    for (const std::string& line : heard) // the right release only lets the capture go
        EXPECT_EQ(line.rfind("hover", 0), 0u) << line;
}

TEST_F(VButtonTest, RightThenLeftPressReleasedRightReportsNothing)
{
    MoveTo(SectorMiddle(5));
    PressButton(RIGHT_BUTTON);
    PressButton(LEFT_BUTTON);
    ReleaseButton(RIGHT_BUTTON);
    ReleaseButton(LEFT_BUTTON);
    for (const std::string& line : heard) {
        EXPECT_EQ(line.find("click"), std::string::npos) << line;
        EXPECT_EQ(line.find("menu"), std::string::npos) << line;
    }
    EXPECT_EQ(State(buttons_[5])->pressState, 0);
}

TEST_F(VButtonTest, HoverColourOnScreen)
{
    POINT middle = SectorMiddle(10); // no icon: the face shows at the middle
    EXPECT_EQ(ScreenPixel(middle), kNormal);
    MoveTo(middle);
    EXPECT_EQ(ScreenPixel(middle), kHover);
    MoveTo(FacePoint());
    EXPECT_EQ(ScreenPixel(middle), kNormal);
    EXPECT_EQ(ScreenPixel(FacePoint()), kFace); // the face is the parent's
}

TEST_F(VButtonTest, EdgePixelOfTheRegionThatTheHitTestRejectsActsAsOutside)
{
    // Find a pixel the window region includes but the exact sector excludes.
    VButtonState* state = State(buttons_[1]);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(buttons_[1], region);
    POINT edge = {-1, -1};
    RECT bounds;
    GetClientRect(buttons_[1], &bounds);
    for (int y = 0; y < bounds.bottom && edge.x < 0; ++y) {
        for (int x = 0; x < bounds.right && edge.x < 0; ++x) {
            if (PtInRegion(region, x, y) && !SectorHitTest(&state->sector, x, y))
                edge = {x, y};
        }
    }
    DeleteObject(region);
    ASSERT_GE(edge.x, 0) << "no such pixel on this sector";
    ClientToScreen(buttons_[1], &edge);
    MoveTo(edge);
    PressButton(LEFT_BUTTON);
    ReleaseButton(LEFT_BUTTON);
    for (const std::string& line : heard)
        EXPECT_EQ(line.find("click"), std::string::npos) << line;
    EXPECT_FALSE(state->hovered);
}

TEST_F(VButtonTest, IconIsDrawnAtTheAnchorAndGrowsWhilePressed)
{
    const RingSector& old = State(buttons_[9])->sector;
    HWND button = CreateVButton(parent_, 9, MakeSolidIcon(RGB(255, 0, 0)), RING_CENTRE_X, RING_CENTRE_Y,
                                old.startAngle, old.endAngle - old.startAngle, old.innerRadius,
                                old.outerRadius);
    DestroyWindow(buttons_[9]);
    buttons_[9] = button;
    VButtonState* state = State(button);
    ASSERT_NE(state->icon, nullptr);
    POINT anchor = {state->sector.iconX, state->sector.iconY};
    ClientToScreen(button, &anchor);
    const COLORREF red = RGB(255, 0, 0);
    EXPECT_EQ(ScreenPixel({anchor.x + 2, anchor.y + 2}), red);
    EXPECT_EQ(ScreenPixel({anchor.x + 18, anchor.y + 18}), red);
    // (21, 10): beyond a 20-pixel icon, inside a 26-pixel one, and on the sector.
    EXPECT_NE(ScreenPixel({anchor.x + 21, anchor.y + 10}), red);
    MoveTo(SectorMiddle(9));
    PressButton(LEFT_BUTTON);
    EXPECT_EQ(ScreenPixel({anchor.x + 21, anchor.y + 10}), red); // 26 pixels now
    MoveTo(FacePoint());
    EXPECT_NE(ScreenPixel({anchor.x + 21, anchor.y + 10}), red); // pointer off: normal size
    ReleaseButton(LEFT_BUTTON);
}

TEST_F(VButtonTest, CaptureTakenByAnotherWindowResetsTheButton)
{
    MoveTo(SectorMiddle(6));
    PressButton(LEFT_BUTTON);
    heard.clear();
    SetCapture(parent_);
    EXPECT_EQ(heard, std::vector<std::string>{"hover 0 slot 6 at 0,0"});
    EXPECT_FALSE(State(buttons_[6])->hovered);
    EXPECT_EQ(State(buttons_[6])->pressState, 0);
    EXPECT_EQ(ScreenPixel(SectorMiddle(6)), kNormal);
    ReleaseCapture();
    ReleaseButton(LEFT_BUTTON);
}

TEST_F(VButtonTest, DroppedFilesGoToTheParentWithTheButtonsRecord)
{
    dropResult = -2;
    LRESULT result = SendMessageA(buttons_[12], WM_DROPFILES, 0x1234, 0);
    EXPECT_EQ(result, -2);
    EXPECT_EQ(lastDropHandle, 0x1234u);
    EXPECT_EQ(lastDropState, reinterpret_cast<LPARAM>(State(buttons_[12])));
    EXPECT_EQ(State(buttons_[12])->slot, 12);
}

TEST_F(VButtonTest, ButtonsCarryTheirSlotAsIdentifierAndAcceptFiles)
{
    for (int i = 0; i < SLOT_COUNT; ++i) {
        EXPECT_EQ(GetDlgCtrlID(buttons_[i]), i);
        EXPECT_TRUE(GetWindowLongA(buttons_[i], GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        RECT place;
        GetWindowRect(buttons_[i], &place);
        int left, top;
        LayoutSector(i, &left, &top);
        EXPECT_EQ(place.left, kParentOrigin.x + left);
        EXPECT_EQ(place.top, kParentOrigin.y + top);
    }
}

TEST_F(VButtonTest, CreationWithoutARecordIsRefused)
{
    EXPECT_EQ(CreateWindowExA(0, "VButton", nullptr, WS_CHILD, 0, 0, 10, 10, parent_, nullptr,
                              GetModuleHandleA(nullptr), nullptr),
              nullptr);
}

TEST_F(VButtonTest, NothingLeaksOverManyCyclesAndDestruction)
{
    const unsigned gdiBefore = CountGdiObjects();
    const unsigned windowsBefore = CountThreadWindows();
    VButtonState* state = State(buttons_[1]);
    const LPARAM inside = MAKELPARAM(state->sector.iconX + 10, state->sector.iconY + 10);
    const LPARAM outside = MAKELPARAM(0, 0);
    for (int i = 0; i < 1000; ++i) {
        SendMessageA(buttons_[1], WM_MOUSEMOVE, 0, inside);
        SendMessageA(buttons_[1], (i % 2) ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, inside);
        SendMessageA(buttons_[1], (i % 2) ? WM_RBUTTONUP : WM_LBUTTONUP, 0, inside);
        SendMessageA(buttons_[1], WM_MOUSEMOVE, 0, outside);
    }
    EXPECT_EQ(CountGdiObjects(), gdiBefore);
    EXPECT_EQ(heard.size(), 3000u); // hover on, hover off, click or menu: every cycle whole

    // A button with an icon frees the icon, its brushes and its record.
    HWND extra = CreateVButton(parent_, 1, MakeSolidIcon(RGB(0, 255, 0)), 100, 100, 0.1, 0.3, 65, 95);
    ASSERT_NE(extra, nullptr);
    DestroyWindow(extra);
    EXPECT_EQ(CountGdiObjects(), gdiBefore);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
}

} // namespace
