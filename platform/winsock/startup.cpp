// Start-up and clean-up of the socket layer, and its last error.
#include <atomic>
#include <cstring>

#include "platform/kernel.h"
#include "platform/winsock.h"
#include "platform/winsock/winsock_seams.h"

namespace platform_winsock {

platform_kernel::Seam<std::function<bool()>> g_startupFailureSeam;

namespace {
std::atomic<int> g_startups{0};
}

}  // namespace platform_winsock

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
    if (const auto* fails = platform_winsock::g_startupFailureSeam.Get(); fails && (*fails)()) {
        return WSASYSNOTREADY;
    }
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
    platform_winsock::g_startups.fetch_add(1);
    return 0;
}

int WSACleanup() {
    int count = platform_winsock::g_startups.load();
    while (count > 0) {
        if (platform_winsock::g_startups.compare_exchange_weak(count, count - 1)) return 0;
    }
    WSASetLastError(WSANOTINITIALISED);
    return SOCKET_ERROR;
}

int WSAGetLastError() {
    return static_cast<int>(GetLastError());
}

void WSASetLastError(int iError) {
    SetLastError(static_cast<DWORD>(iError));
}
