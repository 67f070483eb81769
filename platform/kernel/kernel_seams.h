// The kernel family's test seams. Only the family and platform/testing include this header.
#pragma once

#include <functional>
#include <string>

#include "platform/kernel/seam.h"
#include "platform/windef.h"

namespace platform_kernel {

/* Receives every OutputDebugStringW text: a debugger attached. */
extern Seam<std::function<void(const std::u16string&)>> g_debugOutputSeam;
/* Stands in for the performance counter: stores the frequency (or the reading when reading is
   true) and returns FALSE when the device has no counter. */
extern Seam<std::function<BOOL(bool reading, LONGLONG* value)>> g_performanceCounterSeam;
/* Asked before each thread creation; true makes it fail. */
extern Seam<std::function<bool()>> g_threadCreationFailureSeam;

/* Threads created and not yet ended. */
int RunningThreadCount();

}  // namespace platform_kernel
