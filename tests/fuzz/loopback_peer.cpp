// The camera's end of the fuzzed connection, apart from the platform's socket names.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "fuzz_support.h"

int ListenOnLoopback(int* port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    Require(listener >= 0 && ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                ::listen(listener, 4) == 0 &&
                ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0,
            "a loopback listener can be made");
    *port = ntohs(address.sin_port);
    return listener;
}

void ServeOne(int listener, const uint8_t* data, size_t size) {
    const int peer = ::accept(listener, nullptr, nullptr);
    if (peer < 0) return;
    for (size_t sent = 0; sent < size;) {
        const ssize_t n = ::send(peer, data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;  // the other end has gone
        sent += static_cast<size_t>(n);
    }
    ::shutdown(peer, SHUT_WR);
    char sink[256];
    while (::recv(peer, sink, sizeof sink, 0) > 0) continue;
    ::close(peer);
}
