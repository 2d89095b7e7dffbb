// The yardstick for start-up time and memory: the least a Win32 program
// does to show one round 200 x 200 always-on-top window with an icon in the
// notification area, and then wait for input; Win+Shift+Z hides it or
// shows it centred on the pointer, as the launcher's hotkey does its ring.
#include <windows.h>
#include <shellapi.h>

static NOTIFYICONDATAA trayIcon; // the icon this window puts into the notification area

static void ToggleAtPointer(HWND window)
{
    if (IsWindowVisible(window)) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    POINT pointer;
    GetCursorPos(&pointer);
    SetWindowPos(window, HWND_TOPMOST, pointer.x - 100, pointer.y - 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
}

static LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOTKEY) {
        ToggleAtPointer(window);
        return 0;
    }
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        Shell_NotifyIconA(NIM_DELETE, &trayIcon);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = CreateSolidBrush(0x00FFCC66);
    windowClass.lpszClassName = "BareTrayWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "BareTrayWindow", "Bare tray window",
                                  WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, instance, nullptr);
    SetWindowRgn(window, CreateEllipticRgn(0, 0, 200, 200), TRUE);
    ShowWindow(window, SW_SHOW);
    trayIcon.cbSize = sizeof trayIcon;
    trayIcon.hWnd = window;
    trayIcon.uID = 1;
    trayIcon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    trayIcon.uCallbackMessage = WM_APP;
    trayIcon.hIcon = windowClass.hIcon;
    lstrcpyA(trayIcon.szTip, "Bare tray window");
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
    RegisterHotKey(window, 1, MOD_WIN | MOD_SHIFT | MOD_NOREPEAT, 'Z');
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
