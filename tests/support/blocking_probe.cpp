#include "support/blocking_probe.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>

namespace test_support {

int KernelThreadId() {
    return static_cast<int>(::syscall(SYS_gettid));
}

bool WaitUntilInPoll(int kernelThreadId, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::string path = "/proc/self/task/" + std::to_string(kernelThreadId) + "/syscall";
    for (;;) {
        std::ifstream file(path);
        long number = -1;  // stays -1 while the thread is running
        if (file >> number && (number == SYS_poll || number == SYS_ppoll)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace test_support
