// Handles of the platform's objects (sockets, windows, GDI objects, registry keys, threads): a
// handle names a shared entry and is never handed out again in the process, so a stale or
// made-up handle finds nothing and its call fails cleanly. One lock guards the table; callers
// keep the entry they found alive for as long as they use it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform_kernel {

template <typename Entry>
class HandleTable {
public:
    /* Handles start at first and go up by step (never 0). */
    explicit HandleTable(uintptr_t first = 1, uintptr_t step = 1) : m_next(first), m_step(step) {}
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    /* Registers the entry under a new handle; 0 when every handle value has been used. */
    uintptr_t Add(std::shared_ptr<Entry> entry) {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_next == 0 || m_next > UINTPTR_MAX - m_step) return 0;
        const uintptr_t handle = m_next;
        m_next += m_step;
        m_entries.emplace(handle, std::move(entry));
        return handle;
    }

    /* The entry of an open handle, or null. */
    std::shared_ptr<Entry> Find(uintptr_t handle) const {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_entries.find(handle);
        return it == m_entries.end() ? nullptr : it->second;
    }

    /* Closes the handle and hands back its entry, or null when it was not open. */
    std::shared_ptr<Entry> Remove(uintptr_t handle) {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_entries.find(handle);
        if (it == m_entries.end()) return nullptr;
        std::shared_ptr<Entry> entry = std::move(it->second);
        m_entries.erase(it);
        return entry;
    }

    /* Open handles whose entry satisfies keep (every open handle without one). */
    template <typename Predicate>
    int Count(Predicate keep) const {
        std::lock_guard<std::mutex> guard(m_lock);
        int count = 0;
        for (const auto& [handle, entry] : m_entries) count += keep(*entry) ? 1 : 0;
        return count;
    }
    int Count() const {
        return Count([](const Entry&) { return true; });
    }

private:
    mutable std::mutex m_lock;
    uintptr_t m_next;
    const uintptr_t m_step;
    std::unordered_map<uintptr_t, std::shared_ptr<Entry>> m_entries;
};

}  // namespace platform_kernel
