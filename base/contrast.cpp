#include "base/contrast.h"

bool HighContrastOn()
{
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF ContrastColour(COLORREF own, int systemColour)
{
    return HighContrastOn() ? GetSysColor(systemColour) : own;
}

HBRUSH ContrastBrush(HBRUSH own, int systemColour)
{
    return HighContrastOn() ? GetSysColorBrush(systemColour) : own;
}

bool OnColourMessage(HWND window, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        if (HighContrastOn()) {
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_WINDOW));
            return true;
        }
        break;
    case WM_SETTINGCHANGE:
        if (wParam != SPI_SETHIGHCONTRAST)
            break;
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        break;
    }
    return false;
}
