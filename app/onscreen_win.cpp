#include "app/onscreen.h"

bool IsOnAMonitor(POINT at)
{
    return MonitorFromPoint(at, MONITOR_DEFAULTTONULL) != nullptr;
}

RECT WholeOnWorkArea(RECT place, POINT monitorPoint)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromPoint(monitorPoint, MONITOR_DEFAULTTONEAREST), &monitor))
        return place;
    const RECT& work = monitor.rcWork;
    int width = place.right - place.left, height = place.bottom - place.top;
    place.left = ShiftInside(place.left, width, work.left, work.right);
    place.top = ShiftInside(place.top, height, work.top, work.bottom);
    place.right = place.left + width;
    place.bottom = place.top + height;
    return place;
}
