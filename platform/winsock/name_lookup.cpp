// gethostbyname: the lookup runs on a helper thread while the caller waits, so that closing
// a socket the caller created abandons a lookup that never returns. The helper is left to
// finish on its own and owns everything it touches. A thread whose socket another thread has
// already closed would wait with nothing left to wake it: its lookup does not start.
#include "platform/winsock/name_lookup.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "platform/kernel.h"
#include "platform/winsock.h"
#include "platform/winsock/posix_backend.h"
#include "platform/winsock/winsock_seams.h"

namespace platform_winsock {
namespace {

struct PendingLookup {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
    bool abandoned = false;
    int error = 0;  // socket error code when the lookup failed
    uint32_t address = 0;
};

// Lookups being waited for, by waiting thread; never destroyed (helpers may outlive main).
struct LookupRegistry {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<PendingLookup>> waiting;
    std::shared_ptr<const HostResolver> resolver;  // null: the host's resolver
};

LookupRegistry& Registry() {
    static LookupRegistry* const registry = new LookupRegistry;
    return *registry;
}

// The result storage of one thread, valid until that thread's next lookup.
struct ThreadHostEntry {
    hostent entry{};
    char name[256] = {};
    char* aliases[1] = {nullptr};
    char* addresses[2] = {nullptr, nullptr};
    uint32_t address = 0;
};
thread_local ThreadHostEntry t_hostEntry;

// Set once another thread has closed the latest socket this thread made.
thread_local std::shared_ptr<const std::atomic<bool>> t_socketClosedByAnotherThread;

int ErrorOf(winsock_backend::ResolveResult result) {
    switch (result) {
        case winsock_backend::ResolveResult::kFound:
            return 0;
        case winsock_backend::ResolveResult::kNotFound:
            return WSAHOST_NOT_FOUND;
        case winsock_backend::ResolveResult::kTryAgain:
            return WSATRY_AGAIN;
        case winsock_backend::ResolveResult::kFailed:
            break;
    }
    return WSANO_RECOVERY;
}

void Resolve(const std::shared_ptr<PendingLookup>& pending,
             const std::shared_ptr<const HostResolver>& resolver, const std::string& name) {
    uint32_t address = 0;
    int error;
    if (resolver != nullptr) {
        error = (*resolver)(name, &address) ? 0 : WSAHOST_NOT_FOUND;
    } else {
        error = ErrorOf(winsock_backend::ResolveIPv4(name, &address));
    }
    {
        std::lock_guard<std::mutex> lock(pending->lock);
        pending->done = true;
        pending->error = error;
        pending->address = address;
    }
    pending->changed.notify_all();
}

hostent* FillHostEntry(const char* name, uint32_t address) {
    ThreadHostEntry& result = t_hostEntry;
    std::strncpy(result.name, name, sizeof result.name - 1);
    result.name[sizeof result.name - 1] = '\0';
    result.address = address;
    result.addresses[0] = reinterpret_cast<char*>(&result.address);
    result.addresses[1] = nullptr;
    result.aliases[0] = nullptr;
    result.entry.h_name = result.name;
    result.entry.h_aliases = result.aliases;
    result.entry.h_addrtype = AF_INET;
    result.entry.h_length = sizeof(uint32_t);
    result.entry.h_addr_list = result.addresses;
    return &result.entry;
}

}  // namespace

void AbandonLookupOfThread(DWORD threadId) {
    std::shared_ptr<PendingLookup> pending;
    {
        LookupRegistry& registry = Registry();
        std::lock_guard<std::mutex> lock(registry.lock);
        const auto it = registry.waiting.find(threadId);
        if (it == registry.waiting.end()) return;
        pending = it->second;
    }
    {
        std::lock_guard<std::mutex> lock(pending->lock);
        pending->abandoned = true;
    }
    pending->changed.notify_all();
}

void NoteSocketCreated(std::shared_ptr<const std::atomic<bool>> closedByAnotherThread) {
    t_socketClosedByAnotherThread = std::move(closedByAnotherThread);
}

void SetResolver(HostResolver resolver) {
    std::shared_ptr<const HostResolver> next;
    if (resolver) next = std::make_shared<const HostResolver>(std::move(resolver));
    LookupRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.lock);
    registry.resolver = std::move(next);
}

}  // namespace platform_winsock

/* gethostbyname: NULL with WSAHOST_NOT_FOUND (or WSATRY_AGAIN, WSANO_RECOVERY) when the name
   has no IPv4 address, with WSAEINTR when another thread closed this thread's socket meanwhile
   or before the call (no lookup starts then). */
struct hostent* gethostbyname(const char* name) {
    using platform_winsock::PendingLookup;
    if (name == nullptr) {
        SetLastError(WSAEFAULT);
        return nullptr;
    }
    const DWORD self = GetCurrentThreadId();
    auto pending = std::make_shared<PendingLookup>();
    std::shared_ptr<const platform_winsock::HostResolver> resolver;
    platform_winsock::LookupRegistry& registry = platform_winsock::Registry();
    {
        std::lock_guard<std::mutex> lock(registry.lock);
        resolver = registry.resolver;
        registry.waiting[self] = pending;
    }
    // Checked once the wait is registered: a close before this point is seen here, a later one
    // finds the wait and abandons it.
    const auto& closedBefore = platform_winsock::t_socketClosedByAnotherThread;
    const bool socketClosed = closedBefore != nullptr && closedBefore->load();
    bool started = !socketClosed;
    if (started) {
        try {
            std::thread(platform_winsock::Resolve, pending, resolver, std::string(name)).detach();
        } catch (const std::system_error&) {
            started = false;
        }
    }
    bool done = false;
    int error = socketClosed ? WSAEINTR : WSATRY_AGAIN;
    uint32_t address = 0;
    if (started) {
        std::unique_lock<std::mutex> lock(pending->lock);
        pending->changed.wait(lock, [&] { return pending->done || pending->abandoned; });
        done = pending->done && !pending->abandoned;
        error = done ? pending->error : WSAEINTR;
        address = pending->address;
    }
    {
        std::lock_guard<std::mutex> lock(registry.lock);
        registry.waiting.erase(self);
    }
    if (!done || error != 0) {
        SetLastError(static_cast<DWORD>(error));
        return nullptr;
    }
    return platform_winsock::FillHostEntry(name, address);
}
