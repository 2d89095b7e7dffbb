// Order statistics of a run of timings, shared by the benchmarks.
#ifndef ZRONDEL_BENCH_STATS_H
#define ZRONDEL_BENCH_STATS_H

#include <stdlib.h>

inline int CompareTimes(const void* a, const void* b)
{
    double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    return x < y ? -1 : x > y;
}

// Sorts times in place and answers the value below which the given fraction
// of them lie (0.5: the median, as times[count / 2]).
inline double Percentile(double* times, int count, double fraction)
{
    qsort(times, count, sizeof times[0], CompareTimes);
    int at = static_cast<int>(fraction * count);
    return times[at < count ? at : count - 1];
}

#endif
