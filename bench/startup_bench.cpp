// Times, for a program given by path, window class and title, the span from
// CreateProcess until its window is visible; prints the median of the runs.
// Usage: startup_bench <exe> <class> <title> <runs>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

static int CompareTimes(const void* a, const void* b)
{
    double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    return x < y ? -1 : x > y;
}

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    int runs = atoi(argv[4]);
    if (runs < 1 || runs > 100)
        return 2;
    double times[100];
    for (int run = 0; run < runs; ++run) {
        // A first start every time: no settings beside the program.
        char settings[MAX_PATH];
        strcpy(settings, argv[1]);
        char* slash = strrchr(settings, '\\');
        if (!slash)
            return 2; // a full path with backslashes is needed to find the settings
        strcpy(slash + 1, "settings.dat");
        DeleteFileA(settings);

        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        LARGE_INTEGER started, shown;
        QueryPerformanceCounter(&started);
        if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 1;
        HWND window = nullptr;
        while (!(window = FindWindowA(argv[2], argv[3])) || !IsWindowVisible(window))
            Sleep(0);
        QueryPerformanceCounter(&shown);
        times[run] = Milliseconds(started, shown);
        PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    qsort(times, runs, sizeof times[0], CompareTimes);
    printf("%.1f\n", times[runs / 2]);
    return 0;
}
