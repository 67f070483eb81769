// The per-thread last-error code.
#include "platform/kernel.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

/* GetLastError: the code the calling thread's last failing call left. */
DWORD GetLastError() {
    return t_lastError;
}

/* SetLastError: stores the calling thread's code. */
void SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}
