// The process's socket handles and their shared entries.
#include "platform/winsock/socket_table.h"

#include <mutex>
#include <unordered_map>

#include "platform/winsock/posix_backend.h"

namespace platform_winsock {
namespace {

constexpr SOCKET kFirstHandle = 0x100;

struct SocketTable {
    std::mutex lock;
    std::unordered_map<SOCKET, std::shared_ptr<SocketEntry>> open;
    SOCKET nextHandle = kFirstHandle;
};

// Never destroyed: a call still returning on another thread at exit may reach it.
SocketTable& Table() {
    static SocketTable* const table = new SocketTable;
    return *table;
}

std::atomic<int> g_liveEntries{0};

}  // namespace

SocketEntry::SocketEntry(int fd, int wakeFd, DWORD creatorThread)
    : m_fd(fd), m_wakeFd(wakeFd), m_creatorThread(creatorThread) {
    g_liveEntries.fetch_add(1);
}

SocketEntry::~SocketEntry() {
    winsock_backend::CloseDescriptor(m_fd);
    winsock_backend::CloseDescriptor(m_wakeFd);
    g_liveEntries.fetch_sub(1);
}

void SocketEntry::Close() {
    m_closed.store(true);
    winsock_backend::SignalWakeEvent(m_wakeFd);
}

SOCKET RegisterSocket(std::shared_ptr<SocketEntry> entry) {
    SocketTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    if (table.nextHandle == INVALID_SOCKET) return INVALID_SOCKET;  // every value has been used
    const SOCKET handle = table.nextHandle++;
    table.open.emplace(handle, std::move(entry));
    return handle;
}

std::shared_ptr<SocketEntry> FindSocket(SOCKET s) {
    SocketTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    const auto it = table.open.find(s);
    return it == table.open.end() ? nullptr : it->second;
}

std::shared_ptr<SocketEntry> UnregisterSocket(SOCKET s) {
    SocketTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    const auto it = table.open.find(s);
    if (it == table.open.end()) return nullptr;
    std::shared_ptr<SocketEntry> entry = std::move(it->second);
    table.open.erase(it);
    return entry;
}

int LiveSocketCount() {
    return g_liveEntries.load();
}

}  // namespace platform_winsock
