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

bool EraseInContrast(HWND window, HDC dc)
{
    if (!HighContrastOn())
        return false;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    return true;
}

void FollowColourChange(HWND window, UINT message, WPARAM action)
{
    if (message == WM_SYSCOLORCHANGE || action == SPI_SETHIGHCONTRAST)
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
