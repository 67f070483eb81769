// Observing, through /proc, that a thread is blocked in a socket wait and that a loopback
// socket's program has read everything it was sent, so a test can act on a blocked call
// without guessing at delays.
#pragma once

#include <chrono>
#include <cstdint>

namespace test_support {

/* The system's id of the calling thread. */
int KernelThreadId();

/* Waits until the thread is in poll; false after the time-out. */
bool WaitUntilInPoll(int kernelThreadId,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));

/* Waits until the socket localPort -> remotePort has no unread bytes and then the thread is in
   poll: the thread has read everything and waits for more. False after the time-out. */
bool WaitUntilDrainedAndInPoll(int kernelThreadId, uint16_t localPort, uint16_t remotePort,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace test_support
