#include "base/onscreen.h"

int ShiftInside(int start, int length, int low, int high)
{
    // Summed in 64 bits: a start near the ends of the range must not wrap.
    if (static_cast<long long>(start) + length > high)
        start = high - length;
    return start < low ? low : start;
}

int NearTheScreens(int coordinate)
{
    const int kFar = 1 << 30;
    return coordinate > kFar ? kFar : coordinate < -kFar ? -kFar : coordinate;
}
