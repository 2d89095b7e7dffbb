#include "app/onscreen.h"

int ShiftInside(int start, int length, int low, int high)
{
    if (start + length > high)
        start = high - length;
    return start < low ? low : start;
}
