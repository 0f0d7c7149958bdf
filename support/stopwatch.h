// Time elapsed since a stopwatch was made, from the performance counter.
#pragma once

#include <windows.h>

namespace quendral {

class Stopwatch {
public:
    Stopwatch() : start_(Now()) {}
    double Microseconds() const { return Now() - start_; }
    double Ms() const { return Microseconds() / 1000.0; }

    // The performance counter in microseconds.
    static double Now() {
        LARGE_INTEGER now{}, perSecond{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&perSecond);
        return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(perSecond.QuadPart);
    }

private:
    double start_;
};

}  // namespace quendral
