// RLIMIT_FSIZE for a scope, with SIGXFSZ ignored so an oversized write just fails.
#include "support/file_size_limit.h"

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (sigaction(SIGXFSZ, &ignore, &m_previousAction) != 0) return;
    if (getrlimit(RLIMIT_FSIZE, &m_previousLimit) != 0) {
        sigaction(SIGXFSZ, &m_previousAction, nullptr);
        return;
    }
    struct rlimit limit = m_previousLimit;
    limit.rlim_cur = bytes;
    if (m_previousLimit.rlim_max != RLIM_INFINITY && bytes > m_previousLimit.rlim_max) {
        limit.rlim_cur = m_previousLimit.rlim_max;
    }
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!m_active) sigaction(SIGXFSZ, &m_previousAction, nullptr);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
    if (!m_active) return;
    setrlimit(RLIMIT_FSIZE, &m_previousLimit);
    sigaction(SIGXFSZ, &m_previousAction, nullptr);
}
