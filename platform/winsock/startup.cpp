// Start-up and clean-up of the socket layer, and its last error.
#include <atomic>
#include <cstring>

#include "platform/kernel.h"
#include "platform/winsock.h"
#include "platform/winsock/socket_table.h"
#include "platform/winsock/winsock_seams.h"

#define WSASYSNOTREADY 10091
#define WSAVERNOTSUPPORTED 10092

namespace {

std::atomic<int> g_startups{0};
std::atomic<bool> g_failStartup{false};

}  // namespace

/* WSAStartup: versions 1.1 and above are served as 1.1; 0 or WSASYSNOTREADY/WSAVERNOTSUPPORTED. */
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
    if (g_failStartup.load()) return WSASYSNOTREADY;
    const BYTE major = static_cast<BYTE>(wVersionRequested & 0xFF);
    const BYTE minor = static_cast<BYTE>(wVersionRequested >> 8);
    if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
    if (lpWSAData == nullptr) return WSAEFAULT;
    *lpWSAData = WSADATA{};
    lpWSAData->wVersion = MAKEWORD(1, 1);
    lpWSAData->wHighVersion = MAKEWORD(1, 1);
    std::strcpy(lpWSAData->szDescription, "TCP/IP sockets of the host");
    std::strcpy(lpWSAData->szSystemStatus, "Running");
    lpWSAData->iMaxSockets = 32767;
    lpWSAData->iMaxUdpDg = 0;
    g_startups.fetch_add(1);
    return 0;
}

/* WSACleanup: ends one start-up; SOCKET_ERROR with WSANOTINITIALISED when none is left. */
int WSACleanup() {
    int count = g_startups.load();
    while (count > 0) {
        if (g_startups.compare_exchange_weak(count, count - 1)) return 0;
    }
    SetLastError(WSANOTINITIALISED);
    return SOCKET_ERROR;
}

/* WSAGetLastError: the thread's last error, shared with GetLastError. */
int WSAGetLastError() {
    return static_cast<int>(GetLastError());
}

namespace platform_winsock {

void SetStartupFailure(bool fail) {
    g_failStartup.store(fail);
}

int OpenSocketCount() {
    return LiveSocketCount();
}

}  // namespace platform_winsock
