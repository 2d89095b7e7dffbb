// The launcher inside this process, as in the Windows tests: how long a
// pointer move onto a sector takes until the tooltip is shown, and what the
// launcher at rest receives. Prints "name value" lines (times in
// microseconds).
// Usage: tooltip_bench <rounds> <rest-ms>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "bench/child_process.h"
#include "bench/stats.h"
#include "ring/vbutton.h"
#include "tests/win/support/input.h"
#include "tests/win/support/launcher_run.h"

namespace {

enum { WAIT_LIMIT_MS = 1000, KINDS_KEPT = 16 };

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

bool TipShown()
{
    return IsWindowVisible(ringWindow.toolTip) != 0;
}

// Shown, and its first paint done: nothing of it is waiting to be drawn.
bool TipPainted()
{
    return TipShown() && !GetUpdateRect(ringWindow.toolTip, nullptr, FALSE);
}

bool TipHidden()
{
    return !TipShown();
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

struct Latencies {
    std::vector<double> shown;   // until the tooltip is visible, microseconds
    std::vector<double> painted; // until it has been painted as well
    int misses;                  // rounds in which it did not show within the limit
};

void Record(Latencies* latencies, LARGE_INTEGER from)
{
    double shown = DispatchUntil(TipShown, from);
    double painted = shown < 0 ? -1 : DispatchUntil(TipPainted, from);
    if (painted < 0) {
        ++latencies->misses;
        return;
    }
    latencies->shown.push_back(1000 * shown);
    latencies->painted.push_back(1000 * painted);
}

void Print(const char* name, Latencies* latencies)
{
    int count = static_cast<int>(latencies->shown.size());
    printf("%s_rounds %d\n", name, count);
    printf("%s_misses %d\n", name, latencies->misses);
    if (count == 0)
        return;
    printf("%s_shown_median_us %.1f\n", name, Percentile(latencies->shown.data(), count, 0.5));
    printf("%s_shown_p99_us %.1f\n", name, Percentile(latencies->shown.data(), count, 0.99));
    printf("%s_painted_median_us %.1f\n", name, Percentile(latencies->painted.data(), count, 0.5));
    printf("%s_painted_p99_us %.1f\n", name, Percentile(latencies->painted.data(), count, 0.99));
}

// A WM_MOUSEMOVE posted to the button goes through this thread's queue and
// the message loop like the move the system would post.
Latencies PostedMoves(HWND button, LPARAM inside, int rounds)
{
    Latencies latencies = {};
    LARGE_INTEGER from;
    for (int round = 0; round < rounds; ++round) {
        PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0)); // off the sector
        QueryPerformanceCounter(&from);
        if (DispatchUntil(TipHidden, from) < 0)
            break;
        DispatchWaiting();
        QueryPerformanceCounter(&from);
        PostMessageA(button, WM_MOUSEMOVE, 0, inside);
        Record(&latencies, from);
    }
    return latencies;
}

// Real input: the move passes the window system, its hit test and the queue.
Latencies RealMoves(POINT onto, int rounds)
{
    Latencies latencies = {};
    LARGE_INTEGER from;
    for (int round = 0; round < rounds; ++round) {
        MovePointerTo(100, 100); // the centre disc: off every sector
        QueryPerformanceCounter(&from);
        if (DispatchUntil(TipHidden, from) < 0)
            break;
        PumpMessages(5);
        QueryPerformanceCounter(&from);
        SendPointerMove(onto.x, onto.y);
        Record(&latencies, from);
    }
    return latencies;
}

// The floor under any tooltip: a bare popup with the tooltip's styles and
// size, moved and shown as the ring shows the tooltip, timed until visible.
void PrintBarePopupFloor(int rounds)
{
    HWND tip = ringWindow.toolTip;
    RECT bounds;
    GetWindowRect(tip, &bounds);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BarePopup";
    RegisterClassA(&windowClass);
    HWND popup = CreateWindowExA(GetWindowLongA(tip, GWL_EXSTYLE), windowClass.lpszClassName, "",
                                 GetWindowLongA(tip, GWL_STYLE) & ~WS_VISIBLE, 0, 0,
                                 bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    std::vector<double> shown;
    LARGE_INTEGER from, to;
    for (int round = 0; popup && round < rounds; ++round) {
        ShowWindow(popup, SW_HIDE);
        DispatchWaiting();
        QueryPerformanceCounter(&from);
        MoveWindow(popup, 300 + round % 5, 300, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
        ShowWindow(popup, SW_SHOWNOACTIVATE);
        QueryPerformanceCounter(&to);
        shown.push_back(1000 * Milliseconds(from, to));
    }
    if (popup)
        DestroyWindow(popup);
    UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
    int count = static_cast<int>(shown.size());
    printf("floor_rounds %d\n", count);
    if (count == 0)
        return;
    printf("floor_shown_median_us %.1f\n", Percentile(shown.data(), count, 0.5));
    printf("floor_shown_p99_us %.1f\n", Percentile(shown.data(), count, 0.99));
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

    const int slot = 1; // an outer sector
    ReplaceText(&launcher.slots[slot].hint, "Outer sector");
    HWND button = launcher.slots[slot].button;
    const VButtonState* state = reinterpret_cast<VButtonState*>(GetWindowLongPtrA(button, GWLP_USERDATA));
    POINT inside = {state->sector.iconX + 10, state->sector.iconY + 10};
    const LPARAM insideClient = MAKELPARAM(inside.x, inside.y);
    ClientToScreen(button, &inside);

    PostedMoves(button, insideClient, 20); // the first showings may fill caches
    Latencies posted = PostedMoves(button, insideClient, rounds);
    Print("posted", &posted);
    Latencies real = RealMoves(inside, rounds / 4 > 0 ? rounds / 4 : 1);
    Print("real", &real);
    PrintBarePopupFloor(rounds);

    MovePointerTo(away.x, away.y);
    PumpMessages(1000);
    printf("rest_tooltip_visible %d\n", TipShown() ? 1 : 0);
    CountAtRest(rest);
    fflush(stdout);
    DeleteFileA(BesideTestExe("settings.dat").c_str());
    return StopTestLauncher();
}
