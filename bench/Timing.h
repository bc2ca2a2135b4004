// The clock and the median that every benchmark reports with.
#pragma once
#include <windows.h>
#include <algorithm>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
inline double Now()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

// The median of the times; 0 for none.
inline double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

} // namespace bench
