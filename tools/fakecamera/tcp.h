// Loopback TCP for the fake camera and for tests that need a raw peer: a listener, connections
// with exact-length and trickled transfers, orderly close and reset, and a stop signal that
// ends every wait at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fakecamera {

/* A signal that, once raised, stays raised and wakes every wait that watches it. */
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise();
    bool Raised() const;
    int Descriptor() const { return m_fd; }

private:
    int m_fd;
};

/* One TCP connection; every wait goes through poll, so a stop signal can end it. Closed when
   destroyed. */
class TcpConnection {
public:
    TcpConnection() = default;
    explicit TcpConnection(int fd) : m_fd(fd) {}
    ~TcpConnection();
    TcpConnection(TcpConnection&& other) noexcept;
    TcpConnection& operator=(TcpConnection&& other) noexcept;
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    bool Valid() const { return m_fd >= 0; }

    /* Sends every byte, one send() per byte when trickling; false when the peer is gone or the
       stop signal was raised. */
    bool SendAll(std::string_view bytes, const StopSignal* stop = nullptr, bool trickle = false);
    /* Receives exactly n bytes; fewer when the peer closed or reset first or stop was raised. */
    std::string ReceiveExact(size_t n, const StopSignal* stop = nullptr);
    /* Waits until the peer closes (discarding what it sends) or stop or interrupt is raised;
       true on the peer's close. */
    bool WaitForPeerClose(const StopSignal* stop = nullptr, const StopSignal* interrupt = nullptr);
    /* Waits until the peer's system has acknowledged every byte sent (it holds them or its
       program has read them) or stop is raised; false on stop. */
    bool WaitUntilDelivered(const StopSignal* stop = nullptr);
    /* The peer's port; 0 when unknown. */
    uint16_t PeerPort() const;
    /* Waits up to timeoutMs for a connect started without blocking to complete; true once the
       connection is established. */
    bool WaitConnected(int timeoutMs);
    /* Orderly close (FIN). */
    void Close();
    /* Abortive close: SO_LINGER with time 0, so the peer sees a reset. */
    void Reset();

private:
    // Waits until the descriptor is ready for the direction or a signal is raised; false then.
    bool WaitReady(bool forWrite, const StopSignal* stop,
                   const StopSignal* interrupt = nullptr) const;

    int m_fd = -1;
};

/* A listening socket on 127.0.0.1. */
class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    /* Listens on the port (0: one the system chooses) with that accept backlog. */
    bool Listen(uint16_t port = 0, int backlog = 16);
    uint16_t Port() const { return m_port; }
    /* The next connection; an invalid one once stop is raised or the listener fails. */
    TcpConnection Accept(const StopSignal* stop = nullptr);
    void Close();

private:
    int m_fd = -1;
    uint16_t m_port = 0;
};

/* A client connection to 127.0.0.1:port, or an invalid one when it fails. With nonBlocking the
   connect is only started (it may still be pending) and the descriptor stays non-blocking. */
TcpConnection ConnectLoopback(uint16_t port, bool nonBlocking = false);

}  // namespace fakecamera
