// One clock for the driver and the programs it watches: the performance counter, which the
// benchmark's stand-in tool also stamps its end with.
#pragma once

#include <windows.h>

namespace ombrix::drive {

inline LONGLONG Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double TicksPerMillisecond() {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
}

inline double Milliseconds(LONGLONG ticks) {
    return static_cast<double>(ticks) / TicksPerMillisecond();
}

inline LONGLONG TicksOf(double milliseconds) {
    return static_cast<LONGLONG>(milliseconds * TicksPerMillisecond());
}

}  // namespace ombrix::drive
