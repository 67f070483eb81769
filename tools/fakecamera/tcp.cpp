// Loopback TCP on POSIX sockets.
#include "fakecamera/tcp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

namespace fakecamera {

StopSignal::StopSignal() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

StopSignal::~StopSignal() {
    if (m_fd >= 0) ::close(m_fd);
}

void StopSignal::Raise() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
}

bool StopSignal::Raised() const {
    pollfd fd{m_fd, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0;
}

TcpConnection::~TcpConnection() {
    Close();
}

TcpConnection::TcpConnection(TcpConnection&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)) {}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool TcpConnection::WaitReady(bool forWrite, const StopSignal* stop,
                              const StopSignal* interrupt) const {
    pollfd fds[3] = {{m_fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0},
                     {stop != nullptr ? stop->Descriptor() : -1, POLLIN, 0},
                     {interrupt != nullptr ? interrupt->Descriptor() : -1, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 3, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[1].revents != 0 || fds[2].revents != 0) return false;
        if (fds[0].revents != 0) return true;
    }
}

bool TcpConnection::SendAll(std::string_view bytes, const StopSignal* stop, bool trickle) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (m_fd < 0 || !WaitReady(true, stop)) return false;
        const size_t chunk = trickle ? 1 : bytes.size() - sent;
        const ssize_t n = ::send(m_fd, bytes.data() + sent, chunk, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string TcpConnection::ReceiveExact(size_t n, const StopSignal* stop) {
    std::string bytes(n, '\0');
    size_t received = 0;
    while (received < n) {
        if (m_fd < 0 || !WaitReady(false, stop)) break;
        const ssize_t got = ::recv(m_fd, bytes.data() + received, n - received, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) break;
        received += static_cast<size_t>(got);
    }
    bytes.resize(received);
    return bytes;
}

bool TcpConnection::WaitForPeerClose(const StopSignal* stop, const StopSignal* interrupt) {
    char discard[512];
    for (;;) {
        if (m_fd < 0 || !WaitReady(false, stop, interrupt)) return false;
        const ssize_t got = ::recv(m_fd, discard, sizeof discard, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return true;
    }
}

bool TcpConnection::WaitUntilDelivered(const StopSignal* stop) {
    for (;;) {
        int unacknowledged = 0;
        if (m_fd < 0 || ::ioctl(m_fd, SIOCOUTQ, &unacknowledged) < 0) return false;
        if (unacknowledged == 0) return true;
        if (stop != nullptr && stop->Raised()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool TcpConnection::WaitConnected(int timeoutMs) {
    if (m_fd < 0) return false;
    pollfd fd{m_fd, POLLOUT, 0};
    int ready;
    do {
        ready = ::poll(&fd, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return false;
    int pending = 0;
    socklen_t length = sizeof pending;
    return ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &pending, &length) == 0 && pending == 0;
}

uint16_t TcpConnection::PeerPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (m_fd < 0 || ::getpeername(m_fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

void TcpConnection::Close() {
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
}

void TcpConnection::Reset() {
    if (m_fd < 0) return;
    const linger abort{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    Close();
}

TcpListener::~TcpListener() {
    Close();
}

bool TcpListener::Listen(uint16_t port, int backlog) {
    Close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return false;
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 ||
        ::listen(m_fd, backlog) < 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
        Close();
        return false;
    }
    m_port = ntohs(address.sin_port);
    return true;
}

TcpConnection TcpListener::Accept(const StopSignal* stop) {
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {stop != nullptr ? stop->Descriptor() : -1, POLLIN, 0}};
    for (;;) {
        if (m_fd < 0) return TcpConnection();
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || fds[1].revents != 0) return TcpConnection();
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) return TcpConnection(fd);
        if (errno != EINTR && errno != EAGAIN && errno != ECONNABORTED) return TcpConnection();
    }
}

void TcpListener::Close() {
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
}

TcpConnection ConnectLoopback(uint16_t port, bool nonBlocking) {
    const int fd =
        ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
    if (fd < 0) return TcpConnection();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result < 0 && !(nonBlocking && errno == EINPROGRESS)) {
        ::close(fd);
        return TcpConnection();
    }
    return TcpConnection(fd);
}

}  // namespace fakecamera
