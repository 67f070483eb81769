// The stream primitives every step of a connection rests on: exact-length receive, the image
// request and the reporting close.
#include <cstdio>

#include "camera/camera_protocol.h"

int recvn(SOCKET s, char* buf, int n) {
    if (n <= 0) return 0;
    int remaining = n;
    char* position = buf;
    while (remaining > 0) {
        const int nRead = recv(s, position, remaining, 0);
        if (nRead == SOCKET_ERROR) {
            CString message;
            message.Format(u"nRead is SOCKET_ERROR in recvn : %d", GetLastError());
            TraceMessage(message);
            return -1;
        }
        if (nRead == 0) {
            TraceMessage(u"nRead is 0 in recvn(the connection was closed gracefully)");
            return n - remaining;
        }
        remaining -= nRead;
        position += nRead;
    }
    return n;
}

BOOL SendImageRequestPacket(SOCKET s) {
    char packet[MESSAGE_PACKET_LENGTH + 1];
    std::snprintf(packet, sizeof packet, "%04d", IMAGE_REQUEST);
    const int nWrite = send(s, packet, MESSAGE_PACKET_LENGTH, 0);
    if (nWrite == SOCKET_ERROR) {
        TraceMessage(u"write error");
        return FALSE;
    }
    if (nWrite != MESSAGE_PACKET_LENGTH) {
        CString message;
        message.Format(u"nWrite(%d) is not equal to MESSAGE_PACKET_LENGTH(%d)", nWrite,
                       MESSAGE_PACKET_LENGTH);
        TraceMessage(message);
    }
    return TRUE;
}

void CloseCameraSocket(SOCKET s) {
    if (closesocket(s) == SOCKET_ERROR) TraceMessage(u"closesocket failed");
}
