// gethostbyname: the lookup runs on a helper thread while the caller waits, so that closing
// a socket the caller created abandons a lookup that never returns. The helper is left to
// finish on its own and owns everything it touches. A thread whose socket another thread has
// already closed would wait with nothing left to wake it: its lookup does not start.
#include "platform/winsock/name_lookup.h"

#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "platform/kernel.h"
#include "platform/kernel/completion.h"
#include "platform/winsock.h"
#include "platform/winsock/posix_backend.h"
#include "platform/winsock/winsock_seams.h"

namespace platform_winsock {

platform_kernel::Seam<HostResolver> g_resolverSeam;

namespace {

struct LookupResult {
    int error;  // 0, or the socket error code that ends the lookup
    uint32_t address;
};
using PendingLookup = platform_kernel::Completion<LookupResult>;

// Lookups being waited for, by waiting thread; never destroyed (helpers may outlive main).
struct WaitingLookups {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<PendingLookup>> byThread;
};

WaitingLookups& Waiting() {
    static auto* const waiting = new WaitingLookups;
    return *waiting;
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

void Resolve(const std::shared_ptr<PendingLookup>& pending, const HostResolver* resolver,
             const std::string& name) {
    LookupResult result{0, 0};
    if (resolver != nullptr) {
        result.error = (*resolver)(name, &result.address) ? 0 : WSAHOST_NOT_FOUND;
    } else {
        result.error = ResolveIPv4(name, &result.address);
    }
    pending->Complete(result);
}

// Starts the lookup on a helper; false when no helper can start.
bool StartLookup(const std::shared_ptr<PendingLookup>& pending, const char* name) {
    try {
        std::thread(Resolve, pending, g_resolverSeam.Get(), std::string(name)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

hostent* FillHostEntry(const char* name, uint32_t address) {
    ThreadHostEntry& result = t_hostEntry;
    std::strncpy(result.name, name, sizeof result.name - 1);
    result.name[sizeof result.name - 1] = '\0';
    result.address = address;
    result.addresses[0] = reinterpret_cast<char*>(&result.address);
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
        std::lock_guard<std::mutex> lock(Waiting().lock);
        const auto it = Waiting().byThread.find(threadId);
        if (it == Waiting().byThread.end()) return;
        pending = it->second;
    }
    pending->Complete({WSAEINTR, 0});
}

void NoteSocketCreated(std::shared_ptr<const std::atomic<bool>> closedByAnotherThread) {
    t_socketClosedByAnotherThread = std::move(closedByAnotherThread);
}

}  // namespace platform_winsock

struct hostent* gethostbyname(const char* name) {
    using namespace platform_winsock;
    if (name == nullptr) {
        WSASetLastError(WSAEFAULT);
        return nullptr;
    }
    const DWORD self = GetCurrentThreadId();
    auto pending = std::make_shared<PendingLookup>();
    {
        std::lock_guard<std::mutex> lock(Waiting().lock);
        Waiting().byThread[self] = pending;
    }
    // Checked once the wait is registered: a close before this point is seen here, a later one
    // finds the wait and abandons it.
    const auto& closedBefore = t_socketClosedByAnotherThread;
    if (closedBefore != nullptr && closedBefore->load()) {
        pending->Complete({WSAEINTR, 0});
    } else if (!StartLookup(pending, name)) {
        pending->Complete({WSATRY_AGAIN, 0});
    }
    const LookupResult result = pending->Wait();
    {
        std::lock_guard<std::mutex> lock(Waiting().lock);
        Waiting().byThread.erase(self);
    }
    if (result.error != 0) {
        WSASetLastError(result.error);
        return nullptr;
    }
    return FillHostEntry(name, result.address);
}
