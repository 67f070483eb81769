// The camera's end of the fuzzed connection: a listening socket on 127.0.0.1 that serves each
// accepted connection one prepared byte stream. Kept apart from the platform's socket names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_support {

class LoopbackPeer {
public:
    /* Listens on a port the system chooses; Port() is 0 when it cannot. */
    LoopbackPeer();
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    int Port() const { return m_port; }

    /* Accepts one connection, sends the bytes, closes its sending side and reads what the other
       end sends until it hangs up, so no unread byte turns the close into a reset. */
    void ServeOne(const uint8_t* data, size_t size) const;

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace fuzz_support
