#include "base/dpi.h"

int Scale(int value, int dpi)
{
    const int half = BASE_DPI / 2;
    return value >= 0 ? (value * dpi + half) / BASE_DPI : -((-value * dpi + half) / BASE_DPI);
}
