// Blocking stream sockets. Every descriptor is non-blocking underneath: a call first tries, and
// one that must wait polls the descriptor together with the socket's wake event, so closesocket
// on another thread ends the wait at once (WSAEINTR).
#include <atomic>
#include <cstring>
#include <memory>

#include "platform/kernel.h"
#include "platform/kernel/handle_table.h"
#include "platform/winsock.h"
#include "platform/winsock/name_lookup.h"
#include "platform/winsock/posix_backend.h"
#include "platform/winsock/winsock_seams.h"

namespace platform_winsock {

platform_kernel::Seam<std::function<void(uint32_t socket)>> g_closeObserverSeam;

namespace {

std::atomic<int> g_liveSockets{0};

// What a handle names, shared by every call in progress on it: the descriptors are released
// when the last holder lets it go, so a close never releases a descriptor under a call.
struct SocketEntry {
    SocketEntry(int fd, int wakeFd) : fd(fd), wakeFd(wakeFd) { g_liveSockets.fetch_add(1); }
    ~SocketEntry() {
        CloseDescriptor(fd);
        CloseDescriptor(wakeFd);
        g_liveSockets.fetch_sub(1);
    }

    const int fd;
    const int wakeFd;
    const DWORD creatorThread = GetCurrentThreadId();
    std::atomic<bool> closed{false};
    std::atomic<bool> connected{false};  // a socket connects once
    // An error of the connection that a completed connect read from the socket, kept so that
    // the next receive or send reports it instead of an orderly end.
    std::atomic<int> pendingError{0};
    // Set when a thread other than the creator closes it; the creator keeps it beyond the entry.
    const std::shared_ptr<std::atomic<bool>> closedByAnotherThread =
        std::make_shared<std::atomic<bool>>(false);
};

// Never destroyed: a call still returning on another thread at exit may reach it.
platform_kernel::HandleTable<SocketEntry>& Sockets() {
    static auto* const table = new platform_kernel::HandleTable<SocketEntry>(0x100);
    return *table;
}

int FailWith(int wsaError) {
    WSASetLastError(wsaError);
    return SOCKET_ERROR;
}

std::shared_ptr<SocketEntry> SocketOrFail(SOCKET s) {
    auto entry = Sockets().Find(s);
    if (entry == nullptr) WSASetLastError(WSAENOTSOCK);
    return entry;
}

// Waits until the socket can go on; 0, or the socket error that ends the call.
int WaitUntilReady(const SocketEntry& entry, bool forWrite) {
    if (entry.closed.load()) return WSAEINTR;
    return WaitForDescriptor(entry.fd, entry.wakeFd, forWrite);
}

}  // namespace

int OpenSocketCount() {
    return g_liveSockets.load();
}

}  // namespace platform_winsock

using platform_winsock::FailWith;
using platform_winsock::SocketOrFail;

SOCKET socket(int af, int type, int protocol) {
    if (af != AF_INET) return static_cast<SOCKET>(FailWith(WSAEAFNOSUPPORT));
    if (type != SOCK_STREAM) return static_cast<SOCKET>(FailWith(WSAESOCKTNOSUPPORT));
    if (protocol != 0 && protocol != IPPROTO_TCP) {
        return static_cast<SOCKET>(FailWith(WSAEPROTONOSUPPORT));
    }
    const int fd = platform_winsock::OpenStreamSocket();
    if (fd < 0) return static_cast<SOCKET>(FailWith(-fd));
    const int wakeFd = platform_winsock::OpenWakeEvent();
    if (wakeFd < 0) {
        platform_winsock::CloseDescriptor(fd);
        return static_cast<SOCKET>(FailWith(-wakeFd));
    }
    auto entry = std::make_shared<platform_winsock::SocketEntry>(fd, wakeFd);
    platform_winsock::NoteSocketCreated(entry->closedByAnotherThread);
    const uintptr_t handle = platform_winsock::Sockets().Add(std::move(entry));
    if (handle == 0 || handle >= INVALID_SOCKET) {  // every value a SOCKET holds has been used
        platform_winsock::Sockets().Remove(handle);
        return static_cast<SOCKET>(FailWith(WSAEMFILE));
    }
    return static_cast<SOCKET>(handle);
}

int connect(SOCKET s, const struct sockaddr* name, int namelen) {
    const auto entry = SocketOrFail(s);
    if (entry == nullptr) return SOCKET_ERROR;
    if (name == nullptr || namelen < static_cast<int>(sizeof(sockaddr_in))) {
        return FailWith(WSAEFAULT);
    }
    sockaddr_in target;
    std::memcpy(&target, name, sizeof target);
    if (target.sin_family != AF_INET) return FailWith(WSAEAFNOSUPPORT);
    if (entry->closed.load()) return FailWith(WSAEINTR);
    if (entry->connected.load()) return FailWith(WSAEISCONN);

    const int started =
        platform_winsock::StartConnect(entry->fd, target.sin_addr.s_addr, target.sin_port);
    if (started == -WSAEINPROGRESS) {
        const int waitError = platform_winsock::WaitUntilReady(*entry, true);
        if (waitError != 0) return FailWith(waitError);
        const int connectError = platform_winsock::ConnectResult(entry->fd);
        if (connectError == WSAECONNRESET) {
            // Only an established connection is reset (a refused attempt is WSAECONNREFUSED):
            // the connect succeeded and the peer reset it before this call looked. Reading the
            // error cleared it, so it is kept for the next receive or send to report.
            entry->pendingError.store(connectError);
        } else if (connectError != 0) {
            return FailWith(connectError);
        }
    } else if (started < 0) {
        return FailWith(-started);
    }
    platform_winsock::DisableNagle(entry->fd);
    entry->connected.store(true);
    return 0;
}

int send(SOCKET s, const char* buf, int len, int flags) {
    const auto entry = SocketOrFail(s);
    if (entry == nullptr) return SOCKET_ERROR;
    if (flags != 0) return FailWith(WSAEOPNOTSUPP);
    if (len < 0 || (buf == nullptr && len > 0)) return FailWith(WSAEFAULT);
    int sent = 0;
    while (sent < len) {
        // A close ends the call with WSAEINTR even after part of the data went out.
        if (entry->closed.load()) return FailWith(WSAEINTR);
        // The bytes are offered first; the call waits only when the socket's buffer is full.
        const long n =
            platform_winsock::SendSome(entry->fd, buf + sent, static_cast<size_t>(len - sent));
        if (n >= 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n != -WSAEWOULDBLOCK) {
            const int pending = entry->pendingError.exchange(0);
            if (sent > 0) return sent;
            return FailWith(pending != 0 ? pending : static_cast<int>(-n));
        }
        const int waitError = platform_winsock::WaitUntilReady(*entry, true);
        if (waitError == WSAEINTR || (waitError != 0 && sent == 0)) return FailWith(waitError);
        if (waitError != 0) return sent;
    }
    return sent;
}

int recv(SOCKET s, char* buf, int len, int flags) {
    const auto entry = SocketOrFail(s);
    if (entry == nullptr) return SOCKET_ERROR;
    if (flags != 0) return FailWith(WSAEOPNOTSUPP);
    if (len < 0 || (buf == nullptr && len > 0)) return FailWith(WSAEFAULT);
    if (len == 0) return 0;
    platform_winsock::AcknowledgeAtOnce(entry->fd);
    for (;;) {
        if (entry->closed.load()) return FailWith(WSAEINTR);
        // Data already there is taken at once; the call waits only when there is none.
        const long n = platform_winsock::ReceiveSome(entry->fd, buf, static_cast<size_t>(len));
        if (n == 0) {
            // The end of a connection reset under its connect is that reset, not an orderly close.
            if (const int pending = entry->pendingError.exchange(0)) return FailWith(pending);
        }
        if (n >= 0) return static_cast<int>(n);
        if (n != -WSAEWOULDBLOCK) return FailWith(static_cast<int>(-n));
        const int waitError = platform_winsock::WaitUntilReady(*entry, false);
        if (waitError != 0) return FailWith(waitError);
    }
}

int closesocket(SOCKET s) {
    const auto entry = platform_winsock::Sockets().Remove(s);
    if (entry == nullptr) return FailWith(WSAENOTSOCK);
    entry->closed.store(true);
    platform_winsock::SignalWakeEvent(entry->wakeFd);
    if (entry->creatorThread != GetCurrentThreadId()) {
        entry->closedByAnotherThread->store(true);
        platform_winsock::AbandonLookupOfThread(entry->creatorThread);
    }
    if (const auto* observer = platform_winsock::g_closeObserverSeam.Get()) (*observer)(s);
    return 0;
}
