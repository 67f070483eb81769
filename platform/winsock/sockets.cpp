// Blocking stream sockets. Every descriptor is non-blocking underneath: a call first tries, and
// one that must wait polls the descriptor together with the socket's wake event, so closesocket
// on another thread ends the wait at once (WSAEINTR).
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/kernel.h"
#include "platform/winsock.h"
#include "platform/winsock/error_codes.h"
#include "platform/winsock/name_lookup.h"
#include "platform/winsock/posix_backend.h"
#include "platform/winsock/socket_table.h"
#include "platform/winsock/winsock_seams.h"

using platform_winsock::FindSocket;
using platform_winsock::SocketEntry;
using winsock_backend::WaitResult;

namespace {

int FailWith(int wsaError) {
    SetLastError(static_cast<DWORD>(wsaError));
    return SOCKET_ERROR;
}

int FailWithErrno(int error) {
    return FailWith(platform_winsock::WsaErrorFromErrno(error));
}

// Waits until the socket can go on; 0, or the socket error that ends the call.
int WaitUntilReady(const SocketEntry& entry, bool forWrite) {
    if (entry.IsClosed()) return WSAEINTR;
    int error = 0;
    switch (winsock_backend::WaitForDescriptor(entry.Descriptor(), entry.WakeEvent(), forWrite,
                                               &error)) {
        case WaitResult::kReady:
            return 0;
        case WaitResult::kWoken:
            return WSAEINTR;
        case WaitResult::kFailed:
            break;
    }
    return platform_winsock::WsaErrorFromErrno(error);
}

// The test seam's observer of closes; never destroyed (a close may come late in the process).
struct CloseObserver {
    std::mutex lock;
    std::shared_ptr<const std::function<void(uint32_t)>> observer;
};

CloseObserver& TheCloseObserver() {
    static CloseObserver* const observer = new CloseObserver;
    return *observer;
}

void NotifyCloseObserver(SOCKET s) {
    std::shared_ptr<const std::function<void(uint32_t)>> observer;
    {
        CloseObserver& seam = TheCloseObserver();
        std::lock_guard<std::mutex> lock(seam.lock);
        observer = seam.observer;
    }
    if (observer != nullptr) (*observer)(s);
}

}  // namespace

void platform_winsock::SetCloseObserver(std::function<void(uint32_t socket)> observer) {
    std::shared_ptr<const std::function<void(uint32_t)>> next;
    if (observer) next = std::make_shared<const std::function<void(uint32_t)>>(std::move(observer));
    CloseObserver& seam = TheCloseObserver();
    std::lock_guard<std::mutex> lock(seam.lock);
    seam.observer = std::move(next);
}

/* socket: only AF_INET stream sockets (protocol 0 or IPPROTO_TCP) exist here. */
SOCKET socket(int af, int type, int protocol) {
    if (af != AF_INET) return static_cast<SOCKET>(FailWith(WSAEAFNOSUPPORT));
    if (type != SOCK_STREAM) return static_cast<SOCKET>(FailWith(WSAESOCKTNOSUPPORT));
    if (protocol != 0 && protocol != IPPROTO_TCP) {
        return static_cast<SOCKET>(FailWith(WSAEPROTONOSUPPORT));
    }
    const int fd = winsock_backend::OpenStreamSocket();
    if (fd < 0) return static_cast<SOCKET>(FailWithErrno(-fd));
    const int wakeFd = winsock_backend::OpenWakeEvent();
    if (wakeFd < 0) {
        winsock_backend::CloseDescriptor(fd);
        return static_cast<SOCKET>(FailWithErrno(-wakeFd));
    }
    auto entry = std::make_shared<SocketEntry>(fd, wakeFd, GetCurrentThreadId());
    platform_winsock::NoteSocketCreated(entry->ClosedByAnotherThread());
    const SOCKET s = platform_winsock::RegisterSocket(std::move(entry));
    if (s == INVALID_SOCKET) return static_cast<SOCKET>(FailWith(WSAEMFILE));
    return s;
}

/* connect: a non-blocking connect waited for with poll, then its SO_ERROR; TCP_NODELAY on success.
   A reset of the connection once established is the next receive's or send's to report. */
int connect(SOCKET s, const struct sockaddr* name, int namelen) {
    const auto entry = FindSocket(s);
    if (entry == nullptr) return FailWith(WSAENOTSOCK);
    if (name == nullptr || namelen < static_cast<int>(sizeof(sockaddr_in))) {
        return FailWith(WSAEFAULT);
    }
    sockaddr_in target;
    std::memcpy(&target, name, sizeof target);
    if (target.sin_family != AF_INET) return FailWith(WSAEAFNOSUPPORT);
    if (entry->IsClosed()) return FailWith(WSAEINTR);
    if (entry->IsConnected()) return FailWith(WSAEISCONN);

    const int started =
        winsock_backend::StartConnect(entry->Descriptor(), target.sin_addr.s_addr, target.sin_port);
    if (started == -EINPROGRESS) {
        const int waitError = WaitUntilReady(*entry, true);
        if (waitError != 0) return FailWith(waitError);
        const int connectError = winsock_backend::ConnectResult(entry->Descriptor());
        if (connectError == ECONNRESET || connectError == EPIPE) {
            // Only an established connection is reset (a refused attempt is ECONNREFUSED): the
            // connect succeeded and the peer reset it before this call looked. Reading the
            // error cleared it, so it is kept for the next receive or send to report.
            entry->SetPendingError(connectError);
        } else if (connectError != 0) {
            return FailWithErrno(connectError);
        }
    } else if (started < 0) {
        return FailWithErrno(-started);
    }
    winsock_backend::DisableNagle(entry->Descriptor());
    entry->MarkConnected();
    return 0;
}

/* send: blocks until every byte is queued; after a failure part-way, the count already sent,
   except that a close always gives SOCKET_ERROR (WSAEINTR). */
int send(SOCKET s, const char* buf, int len, int flags) {
    const auto entry = FindSocket(s);
    if (entry == nullptr) return FailWith(WSAENOTSOCK);
    if (flags != 0) return FailWith(WSAEOPNOTSUPP);
    if (len < 0 || (buf == nullptr && len > 0)) return FailWith(WSAEFAULT);
    int sent = 0;
    while (sent < len) {
        // A close ends the call with WSAEINTR even after part of the data went out.
        if (entry->IsClosed()) return FailWith(WSAEINTR);
        // The bytes are offered first; the call waits only when the socket's buffer is full.
        const long n = winsock_backend::SendSome(entry->Descriptor(), buf + sent,
                                                 static_cast<size_t>(len - sent));
        if (n >= 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n != -EAGAIN) {
            const int pending = entry->TakePendingError();
            if (sent > 0) return sent;
            return FailWithErrno(pending != 0 ? pending : static_cast<int>(-n));
        }
        const int waitError = WaitUntilReady(*entry, true);
        if (waitError == WSAEINTR || (waitError != 0 && sent == 0)) return FailWith(waitError);
        if (waitError != 0) return sent;
    }
    return sent;
}

/* recv: takes what has arrived, up to len bytes, waiting for data when there is none; what
   arrives is acknowledged at once. */
int recv(SOCKET s, char* buf, int len, int flags) {
    const auto entry = FindSocket(s);
    if (entry == nullptr) return FailWith(WSAENOTSOCK);
    if (flags != 0) return FailWith(WSAEOPNOTSUPP);
    if (len < 0 || (buf == nullptr && len > 0)) return FailWith(WSAEFAULT);
    if (len == 0) return 0;
    winsock_backend::AcknowledgeAtOnce(entry->Descriptor());
    for (;;) {
        if (entry->IsClosed()) return FailWith(WSAEINTR);
        // Data already there is taken at once; the call waits only when there is none.
        const long n =
            winsock_backend::ReceiveSome(entry->Descriptor(), buf, static_cast<size_t>(len));
        if (n == 0) {
            // The end of a connection reset under its connect is that reset, not an orderly close.
            if (const int pending = entry->TakePendingError()) return FailWithErrno(pending);
        }
        if (n >= 0) return static_cast<int>(n);
        if (n != -EAGAIN) return FailWithErrno(static_cast<int>(-n));
        const int waitError = WaitUntilReady(*entry, false);
        if (waitError != 0) return FailWith(waitError);
    }
}

/* closesocket: the handle is gone at once; the descriptor goes when the last call on it returns.
   Closed by another thread, it also abandons its creator's name lookup, begun or next. */
int closesocket(SOCKET s) {
    const auto entry = platform_winsock::UnregisterSocket(s);
    if (entry == nullptr) return FailWith(WSAENOTSOCK);
    entry->Close();
    if (entry->CreatorThread() != GetCurrentThreadId()) {
        entry->MarkClosedByAnotherThread();
        platform_winsock::AbandonLookupOfThread(entry->CreatorThread());
    }
    NotifyCloseObserver(s);
    return 0;
}
