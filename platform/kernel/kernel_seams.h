// What the kernel family lets the test seams replace or count. Only platform/testing uses it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform_kernel {

using DebugObserver = std::function<void(const std::u16string&)>;

/* Sets the receiver of OutputDebugStringW texts; an empty function detaches it. */
void SetDebugObserver(DebugObserver observer);

/* Replaces the performance counter with the given one; present=false makes both queries fail. */
void ReplacePerformanceCounter(bool present, int64_t frequency, std::function<int64_t()> reading);
/* Returns to the monotonic clock. */
void RestorePerformanceCounter();

/* Makes the next `count` thread creations fail. */
void FailNextThreadCreations(int count);
/* Threads created and not yet ended. */
int RunningThreadCount();

}  // namespace platform_kernel
