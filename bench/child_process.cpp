#include "bench/child_process.h"

#include <string.h>

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

HWND StartVisible(const char* exe, const char* windowClass, const char* title, PROCESS_INFORMATION* process,
                  double* milliseconds)
{
    // A first start every time: no settings beside the program.
    char settings[MAX_PATH];
    const char* slash = strrchr(exe, '\\');
    if (!slash || static_cast<size_t>(slash - exe) + sizeof "\\settings.dat" > sizeof settings)
        return nullptr;
    memcpy(settings, exe, slash - exe);
    strcpy(settings + (slash - exe), "\\settings.dat");
    DeleteFileA(settings);

    STARTUPINFOA startup = {sizeof startup};
    LARGE_INTEGER started, shown;
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process))
        return nullptr;
    HWND window = nullptr;
    while (!(window = FindWindowA(windowClass, title)) || !IsWindowVisible(window))
        Sleep(0);
    QueryPerformanceCounter(&shown);
    *milliseconds = Milliseconds(started, shown);
    return window;
}

void CloseChild(HWND window, PROCESS_INFORMATION* process)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process->hProcess, 10000);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}
