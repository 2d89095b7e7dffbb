#include "tests/win/support/pixels.h"

#include <vector>

#include "tests/win/support/input.h"

HICON MakeSolidIcon(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ oldBitmap = SelectObject(memory, image);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, 32, 32};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    std::vector<BYTE> opaque(32 * 32 / 8, 0);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, opaque.data());
    ICONINFO parts = {TRUE, 0, 0, mask, image};
    HICON icon = CreateIconIndirect(&parts);
    DeleteObject(mask);
    DeleteObject(image);
    return icon;
}

COLORREF ScreenPixel(POINT point)
{
    PumpMessages(30); // what a window draws reaches the screen as its messages are handled
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}
