#pragma once

#include <windows.h>

namespace reelbond::bench {

// Seconds on the performance counter, for timing a run from its start to its end.
inline double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace reelbond::bench
