// A loopback listener that never accepts and whose accept queue is full, so that a connect to
// it waits and never completes.
#pragma once

#include <cstdint>
#include <vector>

#include "fakecamera/tcp.h"

namespace test_support {

class UnansweredListener {
public:
    /* Listens with the smallest queue and connects to itself until a connection request goes
       unanswered. */
    UnansweredListener();
    /* False when the queue could not be filled. */
    bool IsFull() const { return m_full; }
    uint16_t Port() const { return m_listener.Port(); }

private:
    fakecamera::TcpListener m_listener;
    std::vector<fakecamera::TcpConnection> m_queued;
    bool m_full = false;
};

}  // namespace test_support
