#include "loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fuzz_support {

bool ListenOnLoopback(int* listener, int* port) {
    *listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (*listener < 0 || ::bind(*listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(*listener, 4) != 0 ||
        ::getsockname(*listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return false;
    }
    *port = ntohs(address.sin_port);
    return true;
}

void ServeOne(int listener, const uint8_t* data, size_t size) {
    const int peer = ::accept(listener, nullptr, nullptr);
    if (peer < 0) return;
    size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(peer, data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;  // the other end has gone
        sent += static_cast<size_t>(n);
    }
    ::shutdown(peer, SHUT_WR);
    char sink[256];
    while (::recv(peer, sink, sizeof sink, 0) > 0) {
    }
    ::close(peer);
}

}  // namespace fuzz_support
