// The performance counter: CLOCK_MONOTONIC in nanoseconds, unless a test has replaced it.
#include <time.h>

#include <memory>
#include <mutex>

#include "platform/kernel.h"
#include "platform/kernel/kernel_seams.h"

namespace {

constexpr LONGLONG kNanosecondsPerSecond = 1000000000;

struct ReplacementCounter {
    bool present;
    int64_t frequency;
    std::function<int64_t()> reading;
};

std::mutex g_counterLock;
std::shared_ptr<const ReplacementCounter> g_replacement;  // null: the monotonic clock

std::shared_ptr<const ReplacementCounter> CurrentReplacement() {
    std::lock_guard<std::mutex> lock(g_counterLock);
    return g_replacement;
}

}  // namespace

/* QueryPerformanceFrequency: 1e9 counts per second for the monotonic clock. */
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    const auto replacement = CurrentReplacement();
    if (replacement == nullptr) {
        lpFrequency->QuadPart = kNanosecondsPerSecond;
        return TRUE;
    }
    if (!replacement->present) {
        lpFrequency->QuadPart = 0;
        return FALSE;
    }
    lpFrequency->QuadPart = replacement->frequency;
    return TRUE;
}

/* QueryPerformanceCounter: the monotonic clock's reading in nanoseconds. */
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    const auto replacement = CurrentReplacement();
    if (replacement == nullptr) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        lpPerformanceCount->QuadPart =
            static_cast<LONGLONG>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
        return TRUE;
    }
    if (!replacement->present) {
        lpPerformanceCount->QuadPart = 0;
        return FALSE;
    }
    lpPerformanceCount->QuadPart = replacement->reading ? replacement->reading() : 0;
    return TRUE;
}

namespace platform_kernel {

void ReplacePerformanceCounter(bool present, int64_t frequency, std::function<int64_t()> reading) {
    auto replacement = std::make_shared<const ReplacementCounter>(
        ReplacementCounter{present, frequency, std::move(reading)});
    std::lock_guard<std::mutex> lock(g_counterLock);
    g_replacement = std::move(replacement);
}

void RestorePerformanceCounter() {
    std::lock_guard<std::mutex> lock(g_counterLock);
    g_replacement.reset();
}

}  // namespace platform_kernel
