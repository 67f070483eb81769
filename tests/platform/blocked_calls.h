// Socket calls that block: a held name lookup, an unanswered connect, a call on its own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "fakecamera/tcp.h"
#include "platform/kernel.h"
#include "platform/testing/hooks.h"
#include "platform/winsock.h"
#include "support/blocking_probe.h"

namespace test_support {

// A name resolver that answers only when released and tells when it has been asked.
class HeldResolver {
public:
    /* Installs itself as the platform's resolver; every name resolves to 127.0.0.1. */
    HeldResolver() {
        platform_testing::SetHostResolver([this](const std::string&, uint32_t* address) {
            std::unique_lock<std::mutex> lock(m_lock);
            ++m_inside;
            m_asked = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
            *address = inet_addr("127.0.0.1");
            --m_inside;
            m_changed.notify_all();
            return true;
        });
    }
    /* Releases every lookup, restores the host's resolver, waits until none is inside. */
    ~HeldResolver() {
        Release();
        platform_testing::SetHostResolver({});
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait(lock, [this] { return m_inside == 0; });
    }

    /* Waits until a lookup has reached the resolver; false after 10 s. */
    bool WaitAsked() {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_asked; });
    }
    bool Asked() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_asked;
    }
    /* Lets every held and later lookup answer. */
    void Release() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_released = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_asked = false;
    bool m_released = false;
    int m_inside = 0;  // lookups running in the resolver
};

// A loopback listener that never accepts, its queue filled so that a further connect never ends.
class UnansweredListener {
public:
    UnansweredListener() {
        if (!m_listener.Listen(0, 0)) return;
        for (int attempt = 0; attempt < 64 && !m_full; ++attempt) {
            fakecamera::TcpConnection connection = fakecamera::ConnectLoopback(Port(), true);
            if (!connection.Valid()) return;
            m_full = !connection.WaitConnected(2000);
            m_queued.push_back(std::move(connection));
        }
    }
    bool IsFull() const { return m_full; }
    uint16_t Port() const { return m_listener.Port(); }

private:
    fakecamera::TcpListener m_listener;
    std::vector<fakecamera::TcpConnection> m_queued;
    bool m_full = false;
};

// A call on its own thread: its kernel id known before it starts, its result and error after.
struct CallResult {
    int result = 0;
    int error = 0;  // the thread's last error after the call
};

class BlockingCall {
public:
    explicit BlockingCall(std::function<int()> call)
        : m_thread([this, call = std::move(call)] {
              m_started.set_value(test_support::KernelThreadId());
              const int result = call();
              m_finished.set_value({result, static_cast<int>(GetLastError())});
          }) {
        m_kernelThreadId = m_started.get_future().get();
    }
    ~BlockingCall() { m_thread.join(); }

    int KernelThreadId() const { return m_kernelThreadId; }
    /* Waits for the call to return; once only. */
    CallResult Result() { return m_finished.get_future().get(); }

private:
    std::promise<int> m_started;
    std::promise<CallResult> m_finished;
    int m_kernelThreadId = 0;
    std::thread m_thread;  // last: it starts once the promises exist
};

}  // namespace test_support
