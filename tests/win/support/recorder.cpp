// A stand-in target for launch tests: writes into recorder.log beside itself
// the folder it was started in, its command line and whether the ring window
// was visible at that moment, then ends.
#include <windows.h>

#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char log[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, log, MAX_PATH);
    char* backslash = strrchr(log, '\\');
    if (!length || length >= MAX_PATH || !backslash)
        return 1;
    strcpy(backslash + 1, "recorder.log");

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    HWND ring = FindWindowA("ZR_Main_Window_Class", "Ta[V]en Software [Z] Rondel");
    const char* ringState = !ring ? "none" : IsWindowVisible(ring) ? "visible" : "hidden";

    // Written under a temporary name, so that a reader never sees half a record.
    char temporary[MAX_PATH + 4];
    sprintf(temporary, "%s.tmp", log);
    FILE* file = fopen(temporary, "wb");
    if (!file)
        return 1;
    fprintf(file, "folder=%s\ncommand=%s\nring=%s\n", folder, commandLine, ringState);
    fclose(file);
    return MoveFileExA(temporary, log, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
