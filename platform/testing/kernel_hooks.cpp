// Test seams of the kernel family: debug output, performance counter and threads.
#include <atomic>
#include <memory>

#include "platform/kernel/kernel_seams.h"
#include "platform/testing/hooks.h"

namespace platform_testing {

void SetDebugOutputObserver(std::function<void(const std::u16string&)> observer) {
    platform_kernel::g_debugOutputSeam.Set(std::move(observer));
}

void SetPerformanceCounter(bool present, int64_t frequency, std::function<int64_t()> reading) {
    platform_kernel::g_performanceCounterSeam.Set(
        [present, frequency, reading = std::move(reading)](bool wantReading, LONGLONG* value) {
            *value = !present ? 0 : !wantReading ? frequency : reading ? reading() : 0;
            return present ? TRUE : FALSE;
        });
}

void ResetPerformanceCounter() {
    platform_kernel::g_performanceCounterSeam.Set({});
}

void FailThreadCreations(int count) {
    if (count <= 0) return platform_kernel::g_threadCreationFailureSeam.Set({});
    auto remaining = std::make_shared<std::atomic<int>>(count);
    platform_kernel::g_threadCreationFailureSeam.Set([remaining] {
        int left = remaining->load();
        while (left > 0 && !remaining->compare_exchange_weak(left, left - 1)) {
        }
        return left > 0;
    });
}

int LiveThreadCount() {
    return platform_kernel::RunningThreadCount();
}

}  // namespace platform_testing
