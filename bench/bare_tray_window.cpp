// The yardstick for start-up time: the least a Win32 program does to show
// one round 200 x 200 always-on-top window.
#include <windows.h>

static LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = CreateSolidBrush(0x00FFCC66);
    windowClass.lpszClassName = "MinimalRound";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MinimalRound", "Minimal round",
                                  WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, instance, nullptr);
    SetWindowRgn(window, CreateEllipticRgn(0, 0, 200, 200), TRUE);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
