#include "bench/child_process.h"

#include <stdlib.h>
#include <string.h>

#include "base/slots.h"
#include "settings/file_on_disk.h"

namespace {

enum { READY_LIMIT_MS = 10000 };

struct ProgramName {
    char name[MAX_PATH];
};

int CompareNames(const void* a, const void* b)
{
    return lstrcmpiA(static_cast<const ProgramName*>(a)->name, static_cast<const ProgramName*>(b)->name);
}

// The first 24 programs of the system folder by name, as full paths; false
// when there are fewer.
bool SystemPrograms(char targets[SLOT_COUNT][MAX_PATH])
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH - 8);
    if (length == 0)
        return false;
    char pattern[MAX_PATH];
    wsprintfA(pattern, "%s\\*.exe", folder);
    static ProgramName names[1024];
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (strlen(folder) + 1 + strlen(found.cFileName) < MAX_PATH)
            strcpy(names[count++].name, found.cFileName);
    } while (count < 1024 && FindNextFileA(search, &found));
    FindClose(search);
    if (count < SLOT_COUNT)
        return false;
    qsort(names, count, sizeof names[0], CompareNames);
    for (int i = 0; i < SLOT_COUNT; ++i)
        wsprintfA(targets[i], "%s\\%s", folder, names[i].name);
    return true;
}

} // namespace

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

bool WriteFullTable(const char* exe)
{
    char settings[MAX_PATH];
    const char* slash = strrchr(exe, '\\');
    if (!slash || static_cast<size_t>(slash - exe) + sizeof "\\settings.dat" > sizeof settings)
        return false;
    memcpy(settings, exe, slash - exe);
    strcpy(settings + (slash - exe), "\\settings.dat");

    char targets[SLOT_COUNT][MAX_PATH];
    LauncherSlot* slots = AllocateSlotTable();
    if (!slots || !SystemPrograms(targets)) {
        FreeSlotTable(slots);
        return false;
    }
    for (int i = 0; i < SLOT_COUNT; ++i) {
        slots[i].target = CopyText(targets[i]);
        slots[i].hint = DeriveHint(targets[i]);
    }
    launcherSettings = kSettingsStartValues;
    launcherSettings.showAtStart = true;
    bool saved = SaveSettings(settings, slots, SLOT_COUNT);
    FreeSlotTable(slots);
    return saved;
}

HWND StartReady(const char* exe, const char* windowClass, const char* title, PROCESS_INFORMATION* process,
                double* milliseconds)
{
    STARTUPINFOA startup = {sizeof startup};
    LARGE_INTEGER started, ready;
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process))
        return nullptr;
    HWND window = nullptr;
    if (WaitForInputIdle(process->hProcess, READY_LIMIT_MS) == 0) {
        for (;;) {
            QueryPerformanceCounter(&ready);
            window = FindWindowA(windowClass, title);
            if ((window && IsWindowVisible(window)) || Milliseconds(started, ready) > READY_LIMIT_MS)
                break;
            Sleep(0);
        }
    }
    if (!window || !IsWindowVisible(window)) {
        TerminateProcess(process->hProcess, 1);
        CloseHandle(process->hThread);
        CloseHandle(process->hProcess);
        return nullptr;
    }
    *milliseconds = Milliseconds(started, ready);
    return window;
}

void CloseChild(HWND window, PROCESS_INFORMATION* process)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process->hProcess, 10000);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}
