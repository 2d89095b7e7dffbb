// The hotkey until the ring is on the screen, as a person sees it: Win+Shift+Z
// pressed through SendInput while the ring is hidden, timed until the pixels
// at its place are those of its settled picture. Against a reference program
// that shows its round window on the same hotkey. Each run starts one program
// and then the other (the order swapped every run), both with the full table
// of existing targets beside them; each shows and hides its window `rounds`
// times. Prints one "run" line per run, then the medians of all shows and
// the median of the runs' ratios of their medians.
// Usage: hotkey_bench <runs> <rounds> <exe> <class> <title> <reference exe> <class> <title>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "bench/child_process.h"
#include "bench/stats.h"

namespace {

enum { MAX_RUNS = 50, MAX_ROUNDS = 50, SIDE = 200, SHOW_LIMIT_MS = 3000, STILL_CAPTURES = 5 };

struct Program {
    const char* exe;
    const char* windowClass;
    const char* title;
};

// The square the window opens on, read from the screen in one blit.
class ScreenSquare {
public:
    explicit ScreenSquare(POINT centre) : centre_(centre)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, SIDE, -SIDE, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        screen_ = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen_);
        bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(memory_, bitmap_);
    }
    ~ScreenSquare()
    {
        SelectObject(memory_, old_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    // The square's pixels now.
    const std::vector<DWORD>& Read()
    {
        BitBlt(memory_, 0, 0, SIDE, SIDE, screen_, centre_.x - SIDE / 2, centre_.y - SIDE / 2, SRCCOPY);
        GdiFlush();
        pixels_.assign(bits_, bits_ + SIDE * SIDE);
        return pixels_;
    }

private:
    POINT centre_;              // the pointer, where the window opens
    HDC screen_;                // the screen, read from
    HDC memory_;                // holds bitmap_
    HBITMAP bitmap_;            // the DIB section blitted into
    HGDIOBJ old_;               // memory_'s bitmap before bitmap_
    DWORD* bits_;               // bitmap_'s pixels, top-down
    std::vector<DWORD> pixels_; // the last read
};

// Win+Shift+Z in one SendInput call, so that the clock starts as the
// keys go out.
void PressHotkey()
{
    const WORD keys[3] = {VK_LWIN, VK_SHIFT, 'Z'};
    INPUT chord[6] = {};
    for (int i = 0; i < 3; ++i) {
        chord[i].type = chord[5 - i].type = INPUT_KEYBOARD;
        chord[i].ki.wVk = chord[5 - i].ki.wVk = keys[i];
        chord[i].ki.wScan = chord[5 - i].ki.wScan = static_cast<WORD>(MapVirtualKeyA(keys[i], MAPVK_VK_TO_VSC));
        chord[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, chord, sizeof chord[0]);
}

bool AwaitVisible(HWND window, bool visible)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < SHOW_LIMIT_MS; Sleep(5))
        if ((IsWindowVisible(window) != 0) == visible)
            return true;
    return false;
}

// The picture the window settles on once shown: the square unchanged over
// several reads 50 ms apart.
bool SettledPicture(ScreenSquare* square, std::vector<DWORD>* picture)
{
    int still = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < SHOW_LIMIT_MS && still < STILL_CAPTURES; Sleep(50)) {
        const std::vector<DWORD>& now = square->Read();
        still = now == *picture ? still + 1 : 0;
        *picture = now;
    }
    return still == STILL_CAPTURES;
}

// Starts the program, learns its settled picture at the pointer, then times
// `rounds` shows by the hotkey; the median goes to *median.
bool Measure(const Program& program, POINT pointer, int rounds, double* median)
{
    if (!WriteFullTable(program.exe))
        return false;
    PROCESS_INFORMATION process = {};
    double readyMs = 0;
    HWND window = StartReady(program.exe, program.windowClass, program.title, &process, &readyMs);
    if (!window)
        return false;
    ScreenSquare square(pointer);
    std::vector<DWORD> picture;
    PressHotkey(); // hides the window shown at start
    bool measured = AwaitVisible(window, false);
    Sleep(300); // the focus has moved; held keys are matched to the X server's
    PressHotkey();
    measured = measured && AwaitVisible(window, true) && SettledPicture(&square, &picture);
    double times[MAX_ROUNDS];
    for (int round = 0; measured && round < rounds; ++round) {
        Sleep(300);
        PressHotkey();
        measured = AwaitVisible(window, false);
        Sleep(300); // everything hidden has left the screen
        LARGE_INTEGER pressed, now;
        QueryPerformanceCounter(&pressed);
        PressHotkey();
        do
            QueryPerformanceCounter(&now);
        while (measured && square.Read() != picture && Milliseconds(pressed, now) < SHOW_LIMIT_MS);
        times[round] = Milliseconds(pressed, now);
        measured = measured && times[round] < SHOW_LIMIT_MS;
    }
    if (!measured)
        printf("%s: its window did not show its settled picture within %d ms of the hotkey\n", program.exe,
               SHOW_LIMIT_MS);
    CloseChild(window, &process);
    *median = measured ? Percentile(times, rounds, 0.5) : 0;
    return measured;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 9)
        return 2;
    const int runs = atoi(argv[1]);
    const int rounds = atoi(argv[2]);
    if (runs < 1 || runs > MAX_RUNS || rounds < 1 || rounds > MAX_ROUNDS)
        return 2;
    const Program launcher = {argv[3], argv[4], argv[5]};
    const Program reference = {argv[6], argv[7], argv[8]};
    // Both open centred on the pointer, which then stays still.
    const POINT pointer = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    SetCursorPos(pointer.x, pointer.y);
    double ours[MAX_RUNS], theirs[MAX_RUNS], ratios[MAX_RUNS];
    for (int run = 0; run < runs; ++run) {
        bool measured = run % 2 == 0
            ? Measure(launcher, pointer, rounds, &ours[run]) && Measure(reference, pointer, rounds, &theirs[run])
            : Measure(reference, pointer, rounds, &theirs[run]) && Measure(launcher, pointer, rounds, &ours[run]);
        if (!measured) {
            printf("failed run %d\n", run);
            return 1;
        }
        printf("run %d %.1f %.1f\n", run + 1, ours[run], theirs[run]);
        fflush(stdout);
        ratios[run] = ours[run] / theirs[run];
    }
    printf("launcher_hotkey_ms %.1f\n", Percentile(ours, runs, 0.5));
    printf("reference_hotkey_ms %.1f\n", Percentile(theirs, runs, 0.5));
    printf("hotkey_ratio %.2f\n", Percentile(ratios, runs, 0.5));
    return 0;
}
