// A program at rest, seen from another process under the same system: its
// private bytes (GetProcessMemoryInfo) once it has settled, and the CPU time
// it spends while nothing happens. Prints "name value" lines; after
// "resting <pid>" the program is at rest for the given time, and a second
// more before it is closed, so that a caller can read the operating
// system's own figures over the same time.
// Usage: rest_bench <exe> <class> <title> <settle-ms> <rest-ms>
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>

#include "bench/child_process.h"

static double CpuMilliseconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (k.QuadPart + u.QuadPart) / 10000.0; // 100 ns units
}

static void PrintMemory(HANDLE process, const char* suffix)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        printf("private_bytes%s %lu\n", suffix, static_cast<unsigned long>(counters.PrivateUsage));
        printf("working_set%s %lu\n", suffix, static_cast<unsigned long>(counters.WorkingSetSize));
    } else {
        printf("memory_error%s %lu\n", suffix, GetLastError());
    }
}

int main(int argc, char** argv)
{
    if (argc != 6)
        return 2;
    const DWORD settle = atoi(argv[4]), rest = atoi(argv[5]);
    // The pointer far from the window, so that nothing hovers.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    PROCESS_INFORMATION child = {};
    double startup;
    HWND window = WriteFullTable(argv[1]) ? StartReady(argv[1], argv[2], argv[3], &child, &startup) : nullptr;
    if (!window)
        return 1;
    Sleep(settle);

    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) {
        printf("open_error %lu\n", GetLastError());
        CloseChild(window, &child);
        return 1;
    }
    PrintMemory(process, "");
    double before = CpuMilliseconds(process);
    printf("resting %lu\n", id);
    fflush(stdout);
    Sleep(rest);
    double after = CpuMilliseconds(process);
    printf("cpu_ms %.3f\n", after - before);
    printf("cpu_total_ms %.3f\n", after);
    PrintMemory(process, "_end");
    printf("done 1\n");
    fflush(stdout);
    Sleep(1000);
    CloseHandle(process);
    CloseChild(window, &child);
    return 0;
}
