#include "support/blocking_call.h"

#include "platform/kernel.h"
#include "support/blocking_probe.h"

namespace test_support {

BlockingCall::BlockingCall(std::function<int()> call) : m_result(m_finished.get_future()) {
    std::future<int> started = m_started.get_future();
    m_thread = std::thread([this, call = std::move(call)] {
        m_started.set_value(test_support::KernelThreadId());
        CallResult result;
        result.result = call();
        result.error = static_cast<int>(GetLastError());
        m_finished.set_value(result);
    });
    m_kernelThreadId = started.get();
}

BlockingCall::~BlockingCall() {
    m_thread.join();
}

CallResult BlockingCall::Result() {
    return m_result.get();
}

}  // namespace test_support
