#include "base/onscreen.h"

bool IsOnAMonitor(POINT at)
{
    return MonitorFromPoint(at, MONITOR_DEFAULTTONULL) != nullptr;
}

RECT WholeOnWorkArea(RECT place, POINT monitorPoint)
{
    // A place whole on the primary monitor's work area needs no move, and
    // that area comes without the round trip a monitor query takes: the
    // tooltip's every show asks.
    RECT work;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) && place.left >= work.left &&
        place.top >= work.top && place.right <= work.right && place.bottom <= work.bottom)
        return place;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromPoint(monitorPoint, MONITOR_DEFAULTTONEAREST), &monitor))
        return place;
    work = monitor.rcWork;
    int width = place.right - place.left, height = place.bottom - place.top;
    place.left = ShiftInside(place.left, width, work.left, work.right);
    place.top = ShiftInside(place.top, height, work.top, work.bottom);
    place.right = place.left + width;
    place.bottom = place.top + height;
    return place;
}
