// A real limit on the size of every file this process writes (RLIMIT_FSIZE), for the object's
// lifetime: writes past it fail with EFBIG, as on a full disk, for root as well. The signal such a
// write raises is ignored meanwhile.
#pragma once

#include <signal.h>
#include <sys/resource.h>

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

    /* Whether the limit could be set. */
    bool Active() const { return m_active; }

private:
    struct rlimit m_previousLimit {};
    struct sigaction m_previousAction {};
    bool m_active = false;
};
