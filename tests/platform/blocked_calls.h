// Socket calls that block until the test lets them go: a name lookup held until released, a
// connect to a listener that never answers, and a call on its own thread to act on meanwhile.
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
    /* Releases every lookup, restores the host's resolver and waits until no abandoned lookup
       is still inside this one. */
    ~HeldResolver() {
        Release();
        platform_testing::SetHostResolver({});
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait(lock, [this] { return m_inside == 0; });
    }
    HeldResolver(const HeldResolver&) = delete;
    HeldResolver& operator=(const HeldResolver&) = delete;

    /* Waits until a lookup has reached the resolver; false after 10 s. */
    bool WaitAsked() {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_asked; });
    }
    /* Whether a lookup has reached the resolver yet. */
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

// A loopback listener that never accepts and whose accept queue is full, so that a connect to
// it waits and never completes.
class UnansweredListener {
public:
    /* Listens with the smallest queue and connects to itself until a request goes unanswered:
       a queued one completes at once, one the full queue drops never does. */
    UnansweredListener() {
        if (!m_listener.Listen(0, 0)) return;
        for (int attempt = 0; attempt < 64 && !m_full; ++attempt) {
            fakecamera::TcpConnection connection = fakecamera::ConnectLoopback(Port(), true);
            if (!connection.Valid()) return;
            m_full = !connection.WaitConnected(2000);
            m_queued.push_back(std::move(connection));
        }
    }
    /* False when the queue could not be filled. */
    bool IsFull() const { return m_full; }
    uint16_t Port() const { return m_listener.Port(); }

private:
    fakecamera::TcpListener m_listener;
    std::vector<fakecamera::TcpConnection> m_queued;
    bool m_full = false;
};

// A call made on its own thread, so a test can act while the call blocks: the thread's kernel
// id is known before the call starts, and the call's result and last error after it ends.
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
    BlockingCall(const BlockingCall&) = delete;
    BlockingCall& operator=(const BlockingCall&) = delete;

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
