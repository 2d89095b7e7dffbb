// A stand-in target for launch tests: writes into recorder.log beside itself
// the folder it was started in, its command line and whether the ring window
// was visible at that moment, then ends.
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // Wide, so that it records from a folder whose name the code page lacks.
    wchar_t log[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, log, MAX_PATH);
    wchar_t* backslash = wcsrchr(log, L'\\');
    if (!length || length >= MAX_PATH || !backslash)
        return 1;
    wcscpy(backslash + 1, L"recorder.log");

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    HWND ring = FindWindowA("ZR_Main_Window_Class", "Ta[V]en Software [Z] Rondel");
    const char* ringState = !ring ? "none" : IsWindowVisible(ring) ? "visible" : "hidden";

    // Written under a temporary name, so that a reader never sees half a record.
    wchar_t temporary[MAX_PATH + 4];
    wcscpy(temporary, log);
    wcscat(temporary, L".tmp");
    FILE* file = _wfopen(temporary, L"wb");
    if (!file)
        return 1;
    fprintf(file, "folder=%s\ncommand=%s\nring=%s\n", folder, commandLine, ringState);
    fclose(file);
    return MoveFileExW(temporary, log, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
