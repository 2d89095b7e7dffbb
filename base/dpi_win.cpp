#include "base/dpi.h"

#include "base/system_library.h"

namespace {

typedef BOOL(WINAPI* SetAwarenessContext)(HANDLE context);
typedef HRESULT(WINAPI* SetAwareness)(int awareness);
typedef BOOL(WINAPI* SetAware)();
typedef UINT(WINAPI* GetWindowDpi)(HWND window);

// The awareness contexts as the system's headers number them.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(-4);
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(-3);
const int kProcessPerMonitorDpiAware = 2; // PROCESS_PER_MONITOR_DPI_AWARE

} // namespace

void DeclareDpiAwareness()
{
    SetAwarenessContext declareContext =
        reinterpret_cast<SetAwarenessContext>(SystemEntry("user32.dll", "SetProcessDpiAwarenessContext"));
    if (declareContext) {
        // Before the Creators Update the system knows the call but not v2.
        if (!declareContext(kPerMonitorAwareV2))
            declareContext(kPerMonitorAware);
        return;
    }
    // Windows 8.1 has per-monitor awareness only in shcore.dll, loaded only
    // where user32 lacks the newer call; the awareness lives in it.
    SetAwareness declareShcore = reinterpret_cast<SetAwareness>(SystemEntry("shcore.dll", "SetProcessDpiAwareness"));
    if (declareShcore && SUCCEEDED(declareShcore(kProcessPerMonitorDpiAware)))
        return;
    SetAware declareSystem = reinterpret_cast<SetAware>(SystemEntry("user32.dll", "SetProcessDPIAware"));
    if (declareSystem)
        declareSystem();
}

int WindowDpi(HWND window)
{
    static bool looked;            // the lookup below was made
    static GetWindowDpi windowDpi; // null where the system has no per-window DPI
    if (!looked) {
        windowDpi = reinterpret_cast<GetWindowDpi>(SystemEntry("user32.dll", "GetDpiForWindow"));
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
