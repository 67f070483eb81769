// Test seams of the kernel family: debug output, performance counter and threads.
#include "platform/kernel/kernel_seams.h"
#include "platform/testing/hooks.h"

namespace platform_testing {

void SetDebugOutputObserver(std::function<void(const std::u16string&)> observer) {
    platform_kernel::SetDebugObserver(std::move(observer));
}

void SetPerformanceCounter(bool present, int64_t frequency, std::function<int64_t()> reading) {
    platform_kernel::ReplacePerformanceCounter(present, frequency, std::move(reading));
}

void ResetPerformanceCounter() {
    platform_kernel::RestorePerformanceCounter();
}

void FailThreadCreations(int count) {
    platform_kernel::FailNextThreadCreations(count);
}

int LiveThreadCount() {
    return platform_kernel::RunningThreadCount();
}

}  // namespace platform_testing
