#include "base/dpi.h"

#include "base/system_library.h"

namespace {

typedef BOOL(WINAPI* SetAwarenessContext)(HANDLE context);
typedef HRESULT(WINAPI* SetAwareness)(int awareness);
typedef BOOL(WINAPI* SetAware)();
typedef UINT(WINAPI* GetWindowDpi)(HWND window);
typedef HRESULT(WINAPI* GetMonitorDpi)(HMONITOR monitor, int kind, UINT* dpiX, UINT* dpiY);

// The awareness contexts as the system's headers number them.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(-4);
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(-3);
const int kProcessPerMonitorDpiAware = 2; // PROCESS_PER_MONITOR_DPI_AWARE
const int kEffectiveDpi = 0;              // MDT_EFFECTIVE_DPI

// Windows 8.1 and the first Windows 10 tell a monitor's DPI, not a window's.
GetMonitorDpi MonitorDpiCall()
{
    static bool looked;           // the lookup below was made
    static GetMonitorDpi call;    // null where the system has no per-monitor DPI
    if (!looked) {
        call = reinterpret_cast<GetMonitorDpi>(SystemEntry("shcore.dll", "GetDpiForMonitor"));
        looked = true;
    }
    return call;
}

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}

int DpiOfMonitor(HMONITOR monitor)
{
    GetMonitorDpi monitorDpi = MonitorDpiCall();
    UINT dpiX = 0, dpiY = 0;
    if (monitorDpi && monitor && SUCCEEDED(monitorDpi(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0)
        return static_cast<int>(dpiX);
    return SystemDpi();
}

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
    // where user32 lacks the newer call; the awareness lives in it. Declared
    // only where a monitor's DPI can be read: an aware window that reads the
    // system's would be drawn at the wrong size on every other monitor.
    SetAwareness declareShcore = reinterpret_cast<SetAwareness>(SystemEntry("shcore.dll", "SetProcessDpiAwareness"));
    if (declareShcore && MonitorDpiCall() && SUCCEEDED(declareShcore(kProcessPerMonitorDpiAware)))
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
    const int dpi = windowDpi && window ? static_cast<int>(windowDpi(window)) : 0;
    if (dpi > 0)
        return dpi;
    return window ? DpiOfMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) : SystemDpi();
}

int DpiAtPoint(POINT point)
{
    // Where the system tells each window's DPI it tells each monitor's too.
    return DpiOfMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}
