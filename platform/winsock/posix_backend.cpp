// The host's socket calls behind the Winsock family.
#include "platform/winsock/posix_backend.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace winsock_backend {

int OpenStreamSocket() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd >= 0 ? fd : -errno;
}

int OpenWakeEvent() {
    const int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return fd >= 0 ? fd : -errno;
}

void SignalWakeEvent(int wakeFd) {
    const uint64_t one = 1;
    // The counter only grows and nobody reads it, so the event stays readable.
    ssize_t written;
    do {
        written = ::write(wakeFd, &one, sizeof one);
    } while (written < 0 && errno == EINTR);
}

void CloseDescriptor(int fd) {
    if (fd >= 0) ::close(fd);
}

WaitResult WaitForDescriptor(int fd, int wakeFd, bool forWrite, int* error) {
    pollfd fds[2] = {{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            *error = errno;
            return WaitResult::kFailed;
        }
        if (fds[1].revents != 0) return WaitResult::kWoken;
        // An error or hang-up also counts as ready: the following call reports it.
        if (fds[0].revents != 0) return WaitResult::kReady;
    }
}

int StartConnect(int fd, uint32_t addressNetworkOrder, uint16_t portNetworkOrder) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = portNetworkOrder;
    address.sin_addr.s_addr = addressNetworkOrder;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result < 0 && errno == EINTR);
    return result == 0 ? 0 : -errno;
}

int ConnectResult(int fd) {
    int pending = 0;
    socklen_t length = sizeof pending;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length) < 0) return errno;
    return pending;
}

int DisableNagle(int fd) {
    const int on = 1;
    return ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0 ? 0 : -errno;
}

void AcknowledgeAtOnce(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

long ReceiveSome(int fd, char* buffer, size_t length) {
    ssize_t received;
    do {
        received = ::recv(fd, buffer, length, MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    return received >= 0 ? static_cast<long>(received) : -errno;
}

long SendSome(int fd, const char* buffer, size_t length) {
    ssize_t sent;
    do {
        sent = ::send(fd, buffer, length, MSG_DONTWAIT | MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent >= 0 ? static_cast<long>(sent) : -errno;
}

ResolveResult ResolveIPv4(const std::string& name, uint32_t* addressNetworkOrder) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    const int status = ::getaddrinfo(name.c_str(), nullptr, &hints, &results);
    if (status != 0) {
        switch (status) {
            case EAI_NONAME:
#ifdef EAI_NODATA
            case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
            case EAI_ADDRFAMILY:
#endif
                return ResolveResult::kNotFound;
            case EAI_AGAIN:
                return ResolveResult::kTryAgain;
            default:
                return ResolveResult::kFailed;
        }
    }
    ResolveResult result = ResolveResult::kNotFound;
    for (const addrinfo* entry = results; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in address;
            std::memcpy(&address, entry->ai_addr, sizeof address);
            *addressNetworkOrder = address.sin_addr.s_addr;
            result = ResolveResult::kFound;
            break;
        }
    }
    ::freeaddrinfo(results);
    return result;
}

}  // namespace winsock_backend
