// The performance counter: CLOCK_MONOTONIC in nanoseconds, unless a test stands in for it.
#include <time.h>

#include "platform/kernel.h"
#include "platform/kernel/kernel_seams.h"

namespace platform_kernel {

Seam<std::function<BOOL(bool reading, LONGLONG* value)>> g_performanceCounterSeam;

namespace {

constexpr LONGLONG kNanosecondsPerSecond = 1000000000;

LONGLONG MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<LONGLONG>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

}  // namespace
}  // namespace platform_kernel

BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (const auto* counter = platform_kernel::g_performanceCounterSeam.Get()) {
        return (*counter)(false, &lpFrequency->QuadPart);
    }
    lpFrequency->QuadPart = platform_kernel::kNanosecondsPerSecond;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (const auto* counter = platform_kernel::g_performanceCounterSeam.Get()) {
        return (*counter)(true, &lpPerformanceCount->QuadPart);
    }
    lpPerformanceCount->QuadPart = platform_kernel::MonotonicNanoseconds();
    return TRUE;
}
