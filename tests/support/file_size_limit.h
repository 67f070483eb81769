// A real limit on the size of every file this process writes (RLIMIT_FSIZE), for the object's
// lifetime: writes past it fail with EFBIG, as on a full disk, for root as well. The signal such a
// write raises is ignored meanwhile.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_ignoring = sigaction(SIGXFSZ, &ignore, &m_previousAction) == 0;
        if (!m_ignoring || getrlimit(RLIMIT_FSIZE, &m_previousLimit) != 0) return;
        struct rlimit limit = m_previousLimit;
        limit.rlim_cur = std::min(bytes, m_previousLimit.rlim_max);  // RLIM_INFINITY is the top
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit() {
        if (m_active) setrlimit(RLIMIT_FSIZE, &m_previousLimit);
        if (m_ignoring) sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

    /* Whether the limit could be set. */
    bool Active() const { return m_active; }

private:
    struct rlimit m_previousLimit {};
    struct sigaction m_previousAction {};
    bool m_ignoring = false;
    bool m_active = false;
};
