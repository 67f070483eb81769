// A test seam: a hook that only a test sets (platform/testing) and that the product path reads
// with one atomic load, so the program pays no lock for a hook it never has. Every hook once set
// stays alive as long as the seam, so a thread still running an earlier hook never sees it freed.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>

namespace platform_kernel {

template <typename Hook>
class Seam {
public:
    /* Installs hook; an empty hook detaches. Earlier hooks are kept for late callers. */
    void Set(Hook hook) {
        std::lock_guard<std::mutex> guard(m_setLock);
        Hook* next = nullptr;
        if (hook) next = &m_kept.emplace_back(std::move(hook));
        m_current.store(next, std::memory_order_release);
    }

    /* The hook installed now, or nullptr. */
    const Hook* Get() const { return m_current.load(std::memory_order_acquire); }

private:
    std::atomic<Hook*> m_current{nullptr};
    std::mutex m_setLock;
    std::deque<Hook> m_kept;  // a deque never moves what it holds
};

}  // namespace platform_kernel
