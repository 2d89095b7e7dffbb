// Times, for a program given by path, window class and title, the span from
// CreateProcess until its window is visible; prints the median of the runs.
// Usage: startup_bench <exe> <class> <title> <runs>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "bench/child_process.h"
#include "bench/stats.h"

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    int runs = atoi(argv[4]);
    if (runs < 1 || runs > 100)
        return 2;
    double times[100];
    for (int run = 0; run < runs; ++run) {
        PROCESS_INFORMATION process = {};
        HWND window = StartVisible(argv[1], argv[2], argv[3], &process, &times[run]);
        if (!window)
            return 1;
        CloseChild(window, &process);
    }
    printf("%.1f\n", Percentile(times, runs, 0.5));
    return 0;
}
