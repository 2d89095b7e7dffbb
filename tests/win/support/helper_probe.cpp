// A stand-in companion library that writes each call it receives, in order,
// to "helper_probe.log" beside itself: "attach" and "detach" when it is
// mapped and unmapped, "Init self" and "Release self" when an entry point is
// called with this library's own module handle ("... other" otherwise).
// Built once with both entry points and once without Release.
#include <windows.h>

#include <string.h>

#include <type_traits>

#include "vcontrols/vcontrols.h"

namespace {

HMODULE self; // this library, from its attach notice

void Log(const char* line)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\')
        --length;
    strcpy(path + length, "helper_probe.log");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        Log("attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        Log("detach");
    }
    return TRUE;
}

extern "C" void WINAPI Init(HMODULE library)
{
    Log(library == self ? "Init self" : "Init other");
}

#ifndef PROBE_WITHOUT_RELEASE
extern "C" void WINAPI Release(HMODULE library)
{
    Log(library == self ? "Release self" : "Release other");
}
#endif

static_assert(std::is_same<decltype(&Init), HelperEntryPoint>::value, "Init is called as a HelperEntryPoint");
