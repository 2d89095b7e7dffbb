// Start-up and memory of the launcher against a reference program, run
// alternately so that the machine's drift falls on both alike: each run
// starts one and then the other (the order swapped every run), times each
// until it is ready, and reads its working set once it has settled. Both
// find the full table of existing targets beside them. Prints one "run"
// line per run (for the chart), then the medians and the median of the
// runs' ratios and differences.
// Usage: startup_bench <runs> <settle-ms> <exe> <class> <title> <reference exe> <class> <title>
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>

#include "bench/child_process.h"
#include "bench/stats.h"

namespace {

enum { MAX_RUNS = 100 };

struct Program {
    const char* exe;
    const char* windowClass;
    const char* title;
};

struct Sample {
    double readyMs;    // from CreateProcess until ready
    double workingSet; // bytes, once settled
};

bool Measure(const Program& program, DWORD settle, Sample* sample)
{
    if (!WriteFullTable(program.exe))
        return false;
    PROCESS_INFORMATION process = {};
    HWND window = StartReady(program.exe, program.windowClass, program.title, &process, &sample->readyMs);
    if (!window)
        return false;
    Sleep(settle);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters);
    sample->workingSet = static_cast<double>(counters.WorkingSetSize);
    CloseChild(window, &process);
    return true;
}

double Median(double* values, int count)
{
    return Percentile(values, count, 0.5);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 9)
        return 2;
    const int runs = atoi(argv[1]);
    const DWORD settle = atoi(argv[2]);
    if (runs < 1 || runs > MAX_RUNS)
        return 2;
    const Program launcher = {argv[3], argv[4], argv[5]};
    const Program reference = {argv[6], argv[7], argv[8]};
    // The pointer far from both windows, so that nothing hovers.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Sample ours[MAX_RUNS], theirs[MAX_RUNS];
    double readyOurs[MAX_RUNS], readyTheirs[MAX_RUNS], ratios[MAX_RUNS];
    double setOurs[MAX_RUNS], setTheirs[MAX_RUNS], excess[MAX_RUNS];
    for (int run = 0; run < runs; ++run) {
        bool launcherFirst = run % 2 == 0;
        bool measured = launcherFirst
            ? Measure(launcher, settle, &ours[run]) && Measure(reference, settle, &theirs[run])
            : Measure(reference, settle, &theirs[run]) && Measure(launcher, settle, &ours[run]);
        if (!measured) {
            printf("failed run %d\n", run);
            return 1;
        }
        printf("run %d %.1f %.1f %.0f %.0f\n", run + 1, ours[run].readyMs, theirs[run].readyMs, ours[run].workingSet,
               theirs[run].workingSet);
        fflush(stdout);
        readyOurs[run] = ours[run].readyMs;
        readyTheirs[run] = theirs[run].readyMs;
        ratios[run] = ours[run].readyMs / theirs[run].readyMs;
        setOurs[run] = ours[run].workingSet;
        setTheirs[run] = theirs[run].workingSet;
        excess[run] = ours[run].workingSet - theirs[run].workingSet;
    }
    printf("launcher_ready_ms %.1f\n", Median(readyOurs, runs));
    printf("reference_ready_ms %.1f\n", Median(readyTheirs, runs));
    printf("ready_ratio %.2f\n", Median(ratios, runs));
    printf("launcher_working_set %.0f\n", Median(setOurs, runs));
    printf("reference_working_set %.0f\n", Median(setTheirs, runs));
    printf("working_set_excess %.0f\n", Median(excess, runs));
    return 0;
}
