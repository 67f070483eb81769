#include "support/blocking_probe.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace test_support {
namespace {

bool PollUntil(const std::chrono::steady_clock::time_point deadline,
               const std::function<bool()>& condition) {
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// True while that thread of this process is inside a poll or ppoll system call.
bool IsInPoll(int kernelThreadId) {
    std::ifstream file("/proc/self/task/" + std::to_string(kernelThreadId) + "/syscall");
    long number = -1;
    if (!(file >> number)) return false;  // "running" or unreadable
    return number == SYS_poll || number == SYS_ppoll;
}

// Bytes waiting unread in the receive queue of the loopback TCP socket with these local and
// remote ports; -1 when there is no such socket.
long UnreadBytes(uint16_t localPort, uint16_t remotePort) {
    std::ifstream file("/proc/net/tcp");
    std::string line;
    std::getline(file, line);  // column titles
    char local[32];
    char remote[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", localPort);
    std::snprintf(remote, sizeof remote, "0100007F:%04X", remotePort);
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string slot, localAddress, remoteAddress, state, queues;
        fields >> slot >> localAddress >> remoteAddress >> state >> queues;
        if (localAddress != local || remoteAddress != remote) continue;
        const size_t colon = queues.find(':');
        if (colon == std::string::npos) return -1;
        return std::stol(queues.substr(colon + 1), nullptr, 16);
    }
    return -1;
}

}  // namespace

int KernelThreadId() {
    return static_cast<int>(::syscall(SYS_gettid));
}

bool WaitUntilInPoll(int kernelThreadId, std::chrono::milliseconds timeout) {
    return PollUntil(std::chrono::steady_clock::now() + timeout,
                     [&] { return IsInPoll(kernelThreadId); });
}

bool WaitUntilDrainedAndInPoll(int kernelThreadId, uint16_t localPort, uint16_t remotePort,
                               std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    return PollUntil(deadline, [&] { return UnreadBytes(localPort, remotePort) == 0; }) &&
           PollUntil(deadline, [&] { return IsInPoll(kernelThreadId); });
}

}  // namespace test_support
