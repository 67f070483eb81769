#include "support/unanswered_listener.h"

namespace test_support {

UnansweredListener::UnansweredListener() {
    if (!m_listener.Listen(0, 0)) return;
    for (int attempt = 0; attempt < 64; ++attempt) {
        fakecamera::TcpConnection connection = fakecamera::ConnectLoopback(m_listener.Port(), true);
        if (!connection.Valid()) return;
        // A request the full queue drops stays unanswered; a queued one completes at once.
        const bool answered = connection.WaitConnected(2000);
        m_queued.push_back(std::move(connection));
        if (!answered) {
            m_full = true;
            return;
        }
    }
}

}  // namespace test_support
