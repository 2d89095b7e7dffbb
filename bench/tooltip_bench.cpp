// The launcher inside this process, as in the Windows tests: how long a
// real pointer move onto a sector takes until the tooltip is shown, against
// the same move onto a bare window that shows a bare popup, and what the
// launcher at rest receives. Prints "name value" lines (times in
// microseconds).
// Usage: tooltip_bench <rounds> <rest-ms>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "app/slotcmds.h"
#include "bench/child_process.h"
#include "bench/stats.h"
#include "ring/vbutton.h"
#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"

namespace {

enum { WAIT_LIMIT_MS = 1000, KINDS_KEPT = 16, FLOOR_OFFSET = 300 };

struct MessageTally {
    UINT message; // message identifier
    int count;    // how often it arrived during the rest
};

MessageTally tallies[KINDS_KEPT]; // the kinds seen at rest, first come first kept
int kindsSeen;                    // entries of tallies in use
int postedCount;                  // messages taken from the queue at rest
int sentCount;                    // messages sent to a window procedure at rest

void Tally(UINT message)
{
    for (int i = 0; i < kindsSeen; ++i)
        if (tallies[i].message == message) {
            ++tallies[i].count;
            return;
        }
    if (kindsSeen < KINDS_KEPT)
        tallies[kindsSeen++] = {message, 1};
}

LRESULT CALLBACK CountTaken(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        ++postedCount;
        Tally(reinterpret_cast<const MSG*>(lParam)->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        ++sentCount;
        Tally(reinterpret_cast<const CWPSTRUCT*>(lParam)->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DispatchWaiting()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The window whose showing a round waits for: the launcher's tooltip, or
// the floor's bare popup.
HWND awaited;

bool AwaitedShown()
{
    return IsWindowVisible(awaited) != 0;
}

bool AwaitedHidden()
{
    return !AwaitedShown();
}

// Dispatches one message at a time, as the message loop would, until done()
// holds; the milliseconds since from, or -1 past the limit.
double DispatchUntil(bool (*done)(), LARGE_INTEGER from)
{
    LARGE_INTEGER now;
    for (;;) {
        QueryPerformanceCounter(&now);
        if (done())
            return Milliseconds(from, now);
        if (Milliseconds(from, now) > WAIT_LIMIT_MS)
            return -1;
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// The floor: a bare window of the ring's size beside it, with a bare child
// where the measured sector lies in the ring, whose first pointer move
// moves and shows a bare popup of the tooltip's kind and size as the ring
// shows its tooltip. No hit test, capture, repaint or fitting.
struct Floor {
    HWND face;    // the ring's stand-in
    HWND sector;  // the sector's stand-in: a plain rectangle
    HWND popup;   // the tooltip's stand-in
    POINT anchor; // screen point the popup is placed from, as the sector's icon corner
    SIZE size;    // the tooltip's size for the measured hint
};

Floor floorWindows;

LRESULT CALLBACK FloorSectorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE && !IsWindowVisible(floorWindows.popup)) {
        MoveWindow(floorWindows.popup, floorWindows.anchor.x + 10, floorWindows.anchor.y - floorWindows.size.cy - 10,
                   floorWindows.size.cx, floorWindows.size.cy, TRUE);
        ShowWindow(floorWindows.popup, SW_SHOWNOACTIVATE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateBare(const char* name, WNDPROC procedure, UINT classStyle, DWORD exStyle, DWORD style, RECT place,
                HWND parent)
{
    WNDCLASSA windowClass = {};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return CreateWindowExA(exStyle, name, "", style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, nullptr, windowClass.hInstance, nullptr);
}

// Mirrors the ring, the button and the tooltip at an offset to the right.
bool CreateFloor(HWND button, POINT anchor, int offset)
{
    HWND tip = ringWindow.toolTip;
    RECT ring, sector, shown;
    GetWindowRect(ringWindow.window, &ring);
    GetWindowRect(button, &sector);
    GetWindowRect(tip, &shown);
    OffsetRect(&ring, offset, 0);
    MapWindowPoints(nullptr, ringWindow.window, reinterpret_cast<POINT*>(&sector), 2);
    RECT origin = {0, 0, shown.right - shown.left, shown.bottom - shown.top};
    floorWindows.face = CreateBare("FloorFace", DefWindowProcA, 0, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, ring, nullptr);
    floorWindows.sector = CreateBare("FloorSector", FloorSectorProc, 0, 0, WS_CHILD | WS_VISIBLE, sector,
                                     floorWindows.face);
    floorWindows.popup = CreateBare("FloorPopup", DefWindowProcA, GetClassLongA(tip, GCL_STYLE),
                                    GetWindowLongA(tip, GWL_EXSTYLE),
                                    GetWindowLongA(tip, GWL_STYLE) & ~WS_VISIBLE, origin, floorWindows.face);
    floorWindows.anchor = {anchor.x + offset, anchor.y};
    floorWindows.size = {origin.right, origin.bottom};
    return floorWindows.face && floorWindows.sector && floorWindows.popup;
}

struct Latencies {
    std::vector<double> shown; // until the popup is visible, microseconds
    int misses;                // rounds in which it did not show within the limit
};

// Off: the pointer onto the face's centre, the popup hidden. On: one real
// move onto the sector, timed until the popup is visible.
bool Round(HWND popup, POINT off, POINT on, bool hideByHand, Latencies* latencies)
{
    awaited = popup;
    MovePointerTo(off.x, off.y);
    if (hideByHand)
        ShowWindow(popup, SW_HIDE);
    LARGE_INTEGER from;
    QueryPerformanceCounter(&from);
    if (DispatchUntil(AwaitedHidden, from) < 0)
        return false;
    PumpMessages(5);
    QueryPerformanceCounter(&from);
    SendPointerMove(on.x, on.y);
    double shown = DispatchUntil(AwaitedShown, from);
    if (shown < 0)
        ++latencies->misses;
    else
        latencies->shown.push_back(1000 * shown);
    return true;
}

void Print(const char* sector, const char* name, Latencies* latencies)
{
    int count = static_cast<int>(latencies->shown.size());
    printf("%s_%s_rounds %d\n", sector, name, count);
    printf("%s_%s_misses %d\n", sector, name, latencies->misses);
    if (count == 0)
        return;
    printf("%s_%s_shown_median_us %.1f\n", sector, name, Percentile(latencies->shown.data(), count, 0.5));
    printf("%s_%s_shown_p99_us %.1f\n", sector, name, Percentile(latencies->shown.data(), count, 0.99));
}

// Rounds of the launcher and of the floor alternate, the order swapped every
// round, so that both see the same machine; the ratio is the median of the
// rounds' ratios.
void MeasureAgainstFloor(const char* sector, POINT onto, int rounds)
{
    const POINT ringCentre = {100, 100};
    const POINT floorCentre = {ringCentre.x + FLOOR_OFFSET, ringCentre.y};
    const POINT floorOnto = {onto.x + FLOOR_OFFSET, onto.y};
    Latencies tooltip = {}, bare = {};
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        size_t before = tooltip.shown.size() + bare.shown.size();
        bool done = round % 2 == 0
            ? Round(ringWindow.toolTip, ringCentre, onto, false, &tooltip) &&
                  Round(floorWindows.popup, floorCentre, floorOnto, true, &bare)
            : Round(floorWindows.popup, floorCentre, floorOnto, true, &bare) &&
                  Round(ringWindow.toolTip, ringCentre, onto, false, &tooltip);
        if (!done)
            break;
        if (tooltip.shown.size() + bare.shown.size() == before + 2)
            ratios.push_back(tooltip.shown.back() / bare.shown.back());
    }
    Print(sector, "real", &tooltip);
    Print(sector, "floor", &bare);
    if (!ratios.empty())
        printf("%s_ratio %.2f\n", sector, Percentile(ratios.data(), static_cast<int>(ratios.size()), 0.5));
}

double ProcessCpuMilliseconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (k.QuadPart + u.QuadPart) / 10000.0;
}

// The launcher's loop for the given time, with no timer of its own: it
// wakes only for what arrives. Both hooks count what does.
void CountAtRest(DWORD milliseconds)
{
    HHOOK taken = SetWindowsHookExA(WH_GETMESSAGE, CountTaken, nullptr, GetCurrentThreadId());
    HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, CountSent, nullptr, GetCurrentThreadId());
    double cpuBefore = ProcessCpuMilliseconds();
    const DWORD start = GetTickCount();
    DWORD elapsed;
    while ((elapsed = GetTickCount() - start) < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        DispatchWaiting();
    }
    double cpu = ProcessCpuMilliseconds() - cpuBefore;
    UnhookWindowsHookEx(sent);
    UnhookWindowsHookEx(taken);
    printf("rest_ms %lu\n", milliseconds);
    printf("rest_posted %d\n", postedCount);
    printf("rest_sent %d\n", sentCount);
    printf("rest_cpu_ms %.3f\n", cpu);
    for (int i = 0; i < kindsSeen; ++i)
        printf("rest_message 0x%04X x%d\n", tallies[i].message, tallies[i].count);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const int rounds = atoi(argv[1]);
    const DWORD rest = atoi(argv[2]);
    if (rounds < 1)
        return 2;
    DeleteFileA(BesideTestExe("settings.dat").c_str());
    const POINT away = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
    MovePointerTo(away.x, away.y);
    if (StartTestLauncher() != 0)
        return 1;
    PumpMessages(200);

    // Two outer sectors: one with a target, as in a full table (hint and
    // icon), and an empty one, whose tooltip is the default hint alone.
    const int defined = 1, empty = 2;
    VButtonState* state = reinterpret_cast<VButtonState*>(GetWindowLongPtrA(launcher.slots[defined].button, GWLP_USERDATA));
    AssignTarget(&launcher.slots[defined], BesideTestExe("tooltip_bench.exe").c_str(), state);
    ReplaceText(&launcher.slots[empty].hint, kDefaultHint);
    const struct {
        const char* name;
        int slot;
    } sectors[] = {{"icon", defined}, {"hint", empty}};
    for (const auto& sector : sectors) {
        HWND button = launcher.slots[sector.slot].button;
        state = reinterpret_cast<VButtonState*>(GetWindowLongPtrA(button, GWLP_USERDATA));
        POINT inside = {state->sector.iconX + 10, state->sector.iconY + 10};
        ClientToScreen(button, &inside);
        // A first showing, which may fill caches, then the tooltip's size
        // for this hint is known to mirror.
        awaited = ringWindow.toolTip;
        MovePointerTo(inside.x, inside.y);
        PumpMessages(100);
        if (!CreateFloor(button, SlotIconAnchor(sector.slot), FLOOR_OFFSET))
            return 1;
        MeasureAgainstFloor(sector.name, inside, rounds);
        DestroyWindow(floorWindows.face); // and with it the sector and the popup
        MovePointerTo(away.x, away.y);
        PumpMessages(200);
    }

    MovePointerTo(away.x, away.y);
    PumpMessages(1000);
    printf("rest_tooltip_visible %d\n", IsWindowVisible(ringWindow.toolTip) ? 1 : 0);
    CountAtRest(rest);
    fflush(stdout);
    DeleteFileA(BesideTestExe("settings.dat").c_str());
    return StopTestLauncher();
}
