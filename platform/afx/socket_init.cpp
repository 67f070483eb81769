// Socket-layer initialisation of the framework.
#include "platform/afx.h"

/* AfxSocketInit: starts Winsock 1.1; the start-up data goes to the caller when asked for. */
BOOL AfxSocketInit(WSADATA* lpwsaData) {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return FALSE;
    if (lpwsaData != nullptr) *lpwsaData = data;
    return TRUE;
}
