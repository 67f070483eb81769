#include "bench/limit.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bench {
namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool ReceiveExact(int fd, char* buffer, size_t length, bool quickAck) {
    while (length > 0) {
        if (quickAck) {
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        }
        const ssize_t n = ::recv(fd, buffer, length, 0);
        if (n <= 0) return false;
        buffer += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool SendExact(int fd, const char* buffer, size_t length) {
    return ::send(fd, buffer, length, MSG_NOSIGNAL) == static_cast<ssize_t>(length);
}

}  // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MedianDecodeSeconds(const std::vector<uint8_t>& jpeg, int times, size_t rowShift) {
    tjhandle decompressor = tjInitDecompress();
    if (decompressor == nullptr) return -1;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    const auto length = static_cast<unsigned long>(jpeg.size());
    if (tjDecompressHeader3(decompressor, jpeg.data(), length, &width, &height, &subsampling,
                            &colorspace) != 0) {
        tjDestroy(decompressor);
        return -1;
    }
    // A 64-byte aligned block, the pixels starting rowShift bytes into it.
    std::vector<uint8_t> block(static_cast<size_t>(width) * height * 4 + 64 + rowShift);
    const auto address = reinterpret_cast<uintptr_t>(block.data());
    uint8_t* pixels = block.data() + ((64 - address % 64) % 64) + rowShift;
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) {
        const double start = Now();
        const int failed = tjDecompress2(decompressor, jpeg.data(), length, pixels, width,
                                         width * 4, height, TJPF_BGRA, 0);
        samples.push_back(Now() - start);
        if (failed != 0) {
            tjDestroy(decompressor);
            return -1;
        }
    }
    tjDestroy(decompressor);
    return Median(samples);
}

double MedianCycleDecodeSeconds(const std::vector<std::vector<uint8_t>>& cycle, int times) {
    // Rows on a 16-byte boundary are written with non-temporal stores, rows off it through the
    // cache (as the viewer's bitmaps are); the limit is the faster of the two.
    double fastest = -1;
    for (const size_t rowShift : {size_t{0}, size_t{4}}) {
        std::vector<double> perFrame;
        for (const auto& jpeg : cycle) {
            perFrame.push_back(MedianDecodeSeconds(jpeg, times, rowShift));
            if (perFrame.back() < 0) return -1;
        }
        const double median = Median(perFrame);
        if (fastest < 0 || median < fastest) fastest = median;
    }
    return fastest;
}

double MedianRoundTripSeconds(uint16_t port, int times, bool quickAck) {
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.fd() < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return -1;
    }
    const int on = 1;
    ::setsockopt(socket.fd(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    char message[5] = {};
    char auth[48] = {};
    std::memcpy(auth, "0300", 4);
    std::memcpy(auth + 16, "admin", 5);
    if (!ReceiveExact(socket.fd(), message, 4, quickAck) || std::atoi(message) != 121) return -1;
    if (!SendExact(socket.fd(), auth, sizeof auth)) return -1;
    if (!ReceiveExact(socket.fd(), message, 4, quickAck) || std::atoi(message) != 301) return -1;

    std::vector<char> payload;  // grows to the largest frame seen
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) {
        char header[33] = {};
        const double start = Now();
        if (!SendExact(socket.fd(), "0110", 4)) return -1;
        if (!ReceiveExact(socket.fd(), header, 32, quickAck)) return -1;
        const int length = std::atoi(header + 24);
        if (length < 0) return -1;
        if (payload.size() < static_cast<size_t>(length)) {
            payload.resize(static_cast<size_t>(length));
        }
        if (!ReceiveExact(socket.fd(), payload.data(), static_cast<size_t>(length), quickAck)) {
            return -1;
        }
        samples.push_back(Now() - start);
    }
    return Median(samples);
}

}  // namespace bench
