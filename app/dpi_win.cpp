#include "app/dpi.h"

#include <string.h>

namespace {

typedef void (*AnyEntry)(); // what GetProcAddress finds, before it is given its type
typedef BOOL(WINAPI* SetAwarenessContext)(HANDLE context);
typedef HRESULT(WINAPI* SetAwareness)(int awareness);
typedef BOOL(WINAPI* SetAware)();
typedef UINT(WINAPI* GetWindowDpi)(HWND window);

// The awareness contexts as the system's headers number them.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(-4);
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(-3);
const int kProcessPerMonitorDpiAware = 2; // PROCESS_PER_MONITOR_DPI_AWARE

AnyEntry EntryOf(HMODULE module, const char* name)
{
    return reinterpret_cast<AnyEntry>(GetProcAddress(module, name));
}

// An entry point of user32, which every Windows has loaded before the launcher.
AnyEntry User32Entry(const char* name)
{
    return EntryOf(GetModuleHandleA("user32.dll"), name);
}

// Windows 8.1 has per-monitor awareness only in shcore.dll; it is loaded
// only where user32 lacks the newer call, and from the system folder.
bool DeclarePerMonitorThroughShcore()
{
    char path[MAX_PATH];
    const char name[] = "\\shcore.dll";
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof name > MAX_PATH)
        return false;
    strcpy(path + length, name);
    HMODULE shcore = LoadLibraryA(path);
    if (!shcore)
        return false;
    SetAwareness declare = reinterpret_cast<SetAwareness>(EntryOf(shcore, "SetProcessDpiAwareness"));
    bool declared = declare && SUCCEEDED(declare(kProcessPerMonitorDpiAware));
    if (!declared)
        FreeLibrary(shcore);
    return declared; // kept loaded: the awareness lives in it
}

} // namespace

void DeclareDpiAwareness()
{
    SetAwarenessContext declareContext =
        reinterpret_cast<SetAwarenessContext>(User32Entry("SetProcessDpiAwarenessContext"));
    if (declareContext) {
        // Before the Creators Update the system knows the call but not v2.
        if (!declareContext(kPerMonitorAwareV2))
            declareContext(kPerMonitorAware);
        return;
    }
    if (DeclarePerMonitorThroughShcore())
        return;
    SetAware declareSystem = reinterpret_cast<SetAware>(User32Entry("SetProcessDPIAware"));
    if (declareSystem)
        declareSystem();
}

int WindowDpi(HWND window)
{
    static bool looked;            // the lookup below was made
    static GetWindowDpi windowDpi; // null where the system has no per-window DPI
    if (!looked) {
        windowDpi = reinterpret_cast<GetWindowDpi>(User32Entry("GetDpiForWindow"));
        looked = true;
    }
    int dpi = windowDpi && window ? static_cast<int>(windowDpi(window)) : 0;
    if (dpi > 0)
        return dpi;
    HDC screen = GetDC(nullptr);
    dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}
