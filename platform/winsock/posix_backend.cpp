// The host's socket calls behind the socket family, each made through HostCall.
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

#include "platform/winsock/error_codes.h"

namespace platform_winsock {
namespace {

struct ErrorMapping {
    int host;
    int wsa;
};

// Every errno value a socket call can give, with its socket error code.
constexpr ErrorMapping kErrnoToWsa[] = {
    {EINTR, WSAEINTR},
    {EBADF, WSAEBADF},
    {EPERM, WSAEACCES},
    {EACCES, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {ENFILE, WSAEMFILE},
    {EWOULDBLOCK, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEINPROGRESS},
    {EALREADY, WSAEALREADY},
    {ENOTSOCK, WSAENOTSOCK},
    {EDESTADDRREQ, WSAEDESTADDRREQ},
    {EMSGSIZE, WSAEMSGSIZE},
    {EPROTOTYPE, WSAEPROTOTYPE},
    {ENOPROTOOPT, WSAENOPROTOOPT},
    {EPROTONOSUPPORT, WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EPFNOSUPPORT, WSAEPFNOSUPPORT},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ENETRESET, WSAENETRESET},
    {ECONNABORTED, WSAECONNABORTED},
    {EPIPE, WSAECONNRESET},
    {ECONNRESET, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {EHOSTDOWN, WSAEHOSTDOWN},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
};

// Every getaddrinfo failure that says the name has no address, or none yet.
constexpr ErrorMapping kResolverToWsa[] = {
    {EAI_NONAME, WSAHOST_NOT_FOUND},
    {EAI_NODATA, WSAHOST_NOT_FOUND},
    {EAI_ADDRFAMILY, WSAHOST_NOT_FOUND},
    {EAI_AGAIN, WSATRY_AGAIN},
};

template <size_t N>
int Translate(const ErrorMapping (&table)[N], int host, int otherwise) {
    for (const ErrorMapping& mapping : table) {
        if (mapping.host == host) return mapping.wsa;
    }
    return otherwise;
}

int WsaErrorOf(int errnoValue) {
    return Translate(kErrnoToWsa, errnoValue, WSAEOPNOTSUPP);
}

// Makes a host call, again while a signal interrupts it: its result, or the negated socket error
// code of the errno it failed with.
template <typename Call>
long HostCall(Call call) {
    for (;;) {
        const long result = static_cast<long>(call());
        if (result >= 0) return result;
        if (errno != EINTR) return -WsaErrorOf(errno);
    }
}

}  // namespace

int OpenStreamSocket() {
    return static_cast<int>(HostCall(
        [] { return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP); }));
}

int OpenWakeEvent() {
    return static_cast<int>(HostCall([] { return ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }));
}

void SignalWakeEvent(int wakeFd) {
    // The counter only grows and nobody reads it, so the event stays readable.
    const uint64_t one = 1;
    HostCall([&] { return ::write(wakeFd, &one, sizeof one); });
}

void CloseDescriptor(int fd) {
    // Not retried: Linux releases the descriptor even when close is interrupted, and a retry
    // could close a descriptor another thread has just been given.
    if (fd >= 0) ::close(fd);
}

int WaitForDescriptor(int fd, int wakeFd, bool forWrite) {
    pollfd fds[2] = {{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        const long ready = HostCall([&] { return ::poll(fds, 2, -1); });
        if (ready < 0) return static_cast<int>(-ready);
        if (fds[1].revents != 0) return WSAEINTR;
        // An error or hang-up also counts as ready: the following call reports it.
        if (fds[0].revents != 0) return 0;
    }
}

int StartConnect(int fd, uint32_t addressNetworkOrder, uint16_t portNetworkOrder) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = portNetworkOrder;
    address.sin_addr.s_addr = addressNetworkOrder;
    return static_cast<int>(HostCall([&] {
        return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }));
}

int ConnectResult(int fd) {
    int pending = 0;
    socklen_t length = sizeof pending;
    const long failed =
        HostCall([&] { return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length); });
    if (failed < 0) return static_cast<int>(-failed);
    return pending == 0 ? 0 : WsaErrorOf(pending);
}

void DisableNagle(int fd) {
    const int on = 1;
    HostCall([&] { return ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); });
}

void AcknowledgeAtOnce(int fd) {
    const int on = 1;
    HostCall([&] { return ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on); });
}

long ReceiveSome(int fd, char* buffer, size_t length) {
    return HostCall([&] { return ::recv(fd, buffer, length, MSG_DONTWAIT); });
}

long SendSome(int fd, const char* buffer, size_t length) {
    return HostCall([&] { return ::send(fd, buffer, length, MSG_DONTWAIT | MSG_NOSIGNAL); });
}

int ResolveIPv4(const std::string& name, uint32_t* addressNetworkOrder) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    const int status = ::getaddrinfo(name.c_str(), nullptr, &hints, &results);
    if (status != 0) return Translate(kResolverToWsa, status, WSANO_RECOVERY);
    int error = WSAHOST_NOT_FOUND;
    for (const addrinfo* entry = results; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in address;
            std::memcpy(&address, entry->ai_addr, sizeof address);
            *addressNetworkOrder = address.sin_addr.s_addr;
            error = 0;
            break;
        }
    }
    ::freeaddrinfo(results);
    return error;
}

bool ParseDottedIPv4(const char* text, uint32_t* addressNetworkOrder) {
    in_addr address{};
    if (::inet_aton(text, &address) == 0) return false;
    *addressNetworkOrder = address.s_addr;
    return true;
}

}  // namespace platform_winsock
