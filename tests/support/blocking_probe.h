// Observing through /proc that a thread is blocked in a socket wait, so a test can act on a
// blocked call without guessing at delays.
#pragma once

#include <chrono>

namespace test_support {

/* The system's id of the calling thread. */
int KernelThreadId();

/* Waits until the thread is in poll or ppoll; false after the time-out. */
bool WaitUntilInPoll(int kernelThreadId,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace test_support
