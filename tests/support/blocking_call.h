// A call made on its own thread, so a test can act while the call blocks: the thread's kernel
// id is known before the call starts, and the call's result and last error after it ends.
#pragma once

#include <functional>
#include <future>
#include <thread>

namespace test_support {

struct CallResult {
    int result = 0;
    int error = 0;  // the thread's last error after the call
};

class BlockingCall {
public:
    explicit BlockingCall(std::function<int()> call);
    ~BlockingCall();
    BlockingCall(const BlockingCall&) = delete;
    BlockingCall& operator=(const BlockingCall&) = delete;

    int KernelThreadId() const { return m_kernelThreadId; }
    /* Waits for the call to return. */
    CallResult Result();

private:
    std::promise<int> m_started;
    std::promise<CallResult> m_finished;
    std::future<CallResult> m_result;
    int m_kernelThreadId = 0;
    std::thread m_thread;
};

}  // namespace test_support
