// The process's socket handles. A handle names an entry shared by every call in progress on
// it; the descriptors are released when the last holder lets the entry go, so a close never
// releases a descriptor under a call that still uses it.
#pragma once

#include <atomic>
#include <memory>

#include "platform/winsock.h"

namespace platform_winsock {

class SocketEntry {
public:
    SocketEntry(int fd, int wakeFd, DWORD creatorThread);
    ~SocketEntry();
    SocketEntry(const SocketEntry&) = delete;
    SocketEntry& operator=(const SocketEntry&) = delete;

    int Descriptor() const { return m_fd; }
    int WakeEvent() const { return m_wakeFd; }
    DWORD CreatorThread() const { return m_creatorThread; }
    bool IsClosed() const { return m_closed.load(); }
    /* Remembers a completed connect: a socket connects once. */
    void MarkConnected() { m_connected.store(true); }
    bool IsConnected() const { return m_connected.load(); }
    /* Keeps an error of the connection that a completed connect read from the socket, so the
       next receive or send reports it instead of an orderly end. */
    void SetPendingError(int errnoValue) { m_pendingError.store(errnoValue); }
    /* The kept error, once (0 when none). */
    int TakePendingError() { return m_pendingError.exchange(0); }
    /* Marks the entry closed and wakes every call waiting on it. */
    void Close();
    /* Remembers that a thread other than its creator closed it. */
    void MarkClosedByAnotherThread() { m_closedByAnother->store(true); }
    /* That mark, kept by the creator thread beyond the entry's life. */
    std::shared_ptr<const std::atomic<bool>> ClosedByAnotherThread() const {
        return m_closedByAnother;
    }

private:
    const int m_fd;
    const int m_wakeFd;
    const DWORD m_creatorThread;
    std::atomic<bool> m_closed{false};
    std::atomic<bool> m_connected{false};
    std::atomic<int> m_pendingError{0};
    const std::shared_ptr<std::atomic<bool>> m_closedByAnother =
        std::make_shared<std::atomic<bool>>(false);
};

/* Gives the entry a new handle, never handed out before in this process. */
SOCKET RegisterSocket(std::shared_ptr<SocketEntry> entry);
/* The entry of an open handle, or null. */
std::shared_ptr<SocketEntry> FindSocket(SOCKET s);
/* Removes an open handle and returns its entry, or null when it is not open. */
std::shared_ptr<SocketEntry> UnregisterSocket(SOCKET s);
/* Entries whose descriptors are not yet released. */
int LiveSocketCount();

}  // namespace platform_winsock
