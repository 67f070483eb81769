#include "loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fuzz_support {

LoopbackPeer::LoopbackPeer() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(m_fd, 4) == 0 &&
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        m_port = ntohs(address.sin_port);
    }
}

LoopbackPeer::~LoopbackPeer() {
    if (m_fd >= 0) ::close(m_fd);
}

void LoopbackPeer::ServeOne(const uint8_t* data, size_t size) const {
    const int peer = ::accept(m_fd, nullptr, nullptr);
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
