// A one-shot rendezvous between threads: one side waits until another completes it with a
// value. The first completion counts; later ones are ignored, so a result and a cancellation
// may race safely.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>

namespace platform_kernel {

template <typename T>
class Completion {
public:
    /* Completes with value and wakes the waiter; false when it was already completed. */
    bool Complete(T value) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_value.has_value()) return false;
            m_value.emplace(std::move(value));
        }
        m_completed.notify_all();
        return true;
    }

    /* Blocks until completed; the value of the first completion. */
    T Wait() {
        std::unique_lock<std::mutex> guard(m_lock);
        m_completed.wait(guard, [this] { return m_value.has_value(); });
        return *m_value;
    }

    /* Whether a completion has come. */
    bool IsDone() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_value.has_value();
    }

    /* Makes it waitable again; only while no other thread can reach it. */
    void Reset() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_value.reset();
    }

private:
    mutable std::mutex m_lock;
    std::condition_variable m_completed;
    std::optional<T> m_value;
};

}  // namespace platform_kernel
