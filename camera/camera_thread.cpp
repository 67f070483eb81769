// The camera thread: one connection from address resolution to the end of the stream.
#include "camera/camera_thread.h"

#include <cstring>

#include "camera/camera_owner.h"
#include "camera/camera_protocol.h"

namespace {

// Held by a camera thread for its whole life, so a connection starts only once the thread of
// the previous one has ended.
CCriticalSection g_oneCameraThreadLock;

constexpr int kHostTextLength = 100;
constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;

class CameraConnection {
public:
    explicit CameraConnection(CCameraOwner* owner) : m_owner(owner) {}

    UINT Run();

private:
    BOOL SetUp();
    BOOL ResolveAddress(sockaddr_in* address);
    BOOL ReceiveFrame();
    void End();
    /* Reports the text, closes the socket; always FALSE, the failed step's result. */
    BOOL FailAndClose(const CString& report);
    /* Closes the socket for a failure that has been reported otherwise; always FALSE. */
    BOOL Close();

    CCameraOwner* const m_owner;
    DWORD m_ticket = 0;
    HWND m_hWnd = nullptr;
    WCHAR m_hostText[kHostTextLength + 1] = {};
    SOCKET m_socket = 0;
    char m_packet[IMG_XFER_USER_AUTH_PKT_LEN] = {};
};

// A diagnostic made from its printf-style format and values.
template <typename... Values>
CString Formatted(LPCWSTR format, Values... values) {
    CString text;
    text.Format(format, values...);
    return text;
}

UINT CameraConnection::Run() {
    m_ticket = m_owner->GetConnectionTicket();
    CSingleLock oneConnectionAtATime(&g_oneCameraThreadLock);

    m_hWnd = m_owner->GetNotifyWindow();
    const CString host = m_owner->GetCameraHost();
    const int hostLength = host.GetLength() < kHostTextLength ? host.GetLength() : kHostTextLength;
    std::memcpy(m_hostText, host.GetString(), sizeof(WCHAR) * static_cast<size_t>(hostLength));
    m_hostText[hostLength] = 0;
    m_socket = 0;
    BOOL firstPass = TRUE;

    while (m_owner->IsRunning()) {
        if (firstPass) {
            if (!SetUp()) break;
            firstPass = FALSE;
        }
        if (!ReceiveFrame()) break;
    }
    End();
    return 0;
}

BOOL CameraConnection::SetUp() {
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    if (m_socket == INVALID_SOCKET) {
        TraceMessage(Formatted(u"tcp socket create error: error code is %d",
                               static_cast<int>(GetLastError())));
        return FALSE;
    }
    if (!m_owner->SetSocket(m_ticket, m_socket)) {
        // Nobody would close it any more: the dialog is closing or a later Connect took over.
        CloseCameraSocket(m_socket);
        return FALSE;
    }

    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    // A port outside the range is none the user typed: it is refused, never dialled as another.
    CString portText;
    const int port = m_owner->GetCameraPort(&portText);
    if (port < kLowestPort || port > kHighestPort) {
        return FailAndClose(Formatted(u"invalid port = %s", static_cast<LPCWSTR>(portText)));
    }
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (!ResolveAddress(&address)) return FALSE;

    if (connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
        SOCKET_ERROR) {
        return FailAndClose(Formatted(u"connect error : %d", static_cast<int>(GetLastError())));
    }

    int nRead = recvn(m_socket, m_packet, MESSAGE_PACKET_LENGTH);
    if (nRead == -1) return FailAndClose(u"read error1");
    if (nRead != MESSAGE_PACKET_LENGTH) {
        return FailAndClose(Formatted(u"nRead(%d) is not equal to MESSAGE_PACKET_LENGTH(%d)", nRead,
                                      MESSAGE_PACKET_LENGTH));
    }
    int code = ParseCodeOrLengthField(m_packet, MESSAGE_PACKET_LENGTH);
    if (code == SERVER_FULL) return FailAndClose(u"ERROR: Server Full");
    if (code != SERVER_READY) {
        return FailAndClose(Formatted(u"Error: unexpected message from camera(%d)", code));
    }

    BuildAuthPacket(m_packet, m_owner->GetID(), m_owner->GetPassword());
    const int nWrite = send(m_socket, m_packet, IMG_XFER_USER_AUTH_PKT_LEN, 0);
    if (nWrite == SOCKET_ERROR) return FailAndClose(u"write error");
    if (nWrite != IMG_XFER_USER_AUTH_PKT_LEN) {
        return FailAndClose(Formatted(u"nWrite(%d) is not equal to IMG_XFER_USER_AUTH_PKT_LEN(%d)",
                                      nWrite, IMG_XFER_USER_AUTH_PKT_LEN));
    }

    nRead = recvn(m_socket, m_packet, MESSAGE_PACKET_LENGTH);
    if (nRead == -1) {
        TraceMessage(u"read error2");
        if (closesocket(m_socket) == SOCKET_ERROR) {
            TraceMessage(Formatted(u"isReconnect : closesocket error : %d",
                                   static_cast<int>(GetLastError())));
        }
        return FALSE;
    }
    if (nRead != MESSAGE_PACKET_LENGTH) {
        return FailAndClose(Formatted(u"nRead(%d) is not equal to MESSAGE_PACKET_LENGTH(%d)", nRead,
                                      MESSAGE_PACKET_LENGTH));
    }
    code = ParseCodeOrLengthField(m_packet, MESSAGE_PACKET_LENGTH);
    if (code == ADMIN_AUTH_FAILED) {
        AfxMessageBox(u"Admin authentication failed", MB_OK, 0);
        return Close();
    }
    if (code == INVALID_MESSAGE_ID) {
        AfxMessageBox(u"Error: Invalid message id", MB_OK, 0);
        return Close();
    }
    if (code != USER_AUTH_OK) {
        return FailAndClose(Formatted(u"Error: unexpected message from camera(%d)", code));
    }

    if (!SendImageRequestPacket(m_socket)) {
        return FailAndClose(u"SendImageRequestPacket returns FALSE");
    }
    m_owner->SetConnected(m_ticket, TRUE);
    m_owner->SetTrying(m_ticket, FALSE);
    return TRUE;
}

// The host text's first character decides: a letter means a name to look up, anything else
// dotted text for inet_addr.
BOOL CameraConnection::ResolveAddress(sockaddr_in* address) {
    char hostBytes[kHostTextLength + 1] = {};
    wcstombs(hostBytes, m_hostText, sizeof hostBytes);
    if (iswalpha(m_hostText[0])) {
        const hostent* entry = gethostbyname(hostBytes);
        if (entry == nullptr) {
            return FailAndClose(Formatted(u"unknown server name = %s", m_hostText));
        }
        std::memcpy(&address->sin_addr, entry->h_addr, sizeof address->sin_addr);
        return TRUE;
    }
    address->sin_addr.s_addr = inet_addr(hostBytes);
    if (address->sin_addr.s_addr == INADDR_NONE) {
        return FailAndClose(Formatted(u"unknown server name = %s", m_hostText));
    }
    return TRUE;
}

BOOL CameraConnection::ReceiveFrame() {
    int nRead = recvn(m_socket, m_packet, IMAGE_DATA_HEADER_LENGTH);
    if (nRead == -1) return FailAndClose(u"Error receiving header");
    if (nRead != IMAGE_DATA_HEADER_LENGTH) {
        return FailAndClose(Formatted(u"nRead(%d) is not equal to IMAGE_DATA_HEADER_LENGTH(%d)",
                                      nRead, IMAGE_DATA_HEADER_LENGTH));
    }
    if (ParseCodeOrLengthField(m_packet + HEADER_CODE_OFFSET, HEADER_CODE_LENGTH) != IMAGE_OK) {
        return FailAndClose(u"message is not IMAGE_OK");
    }
    const int length =
        ParseCodeOrLengthField(m_packet + HEADER_LENGTH_OFFSET, HEADER_LENGTH_LENGTH);
    if (length > MAX_IMAGE_DATA_LENGTH) {
        return FailAndClose(Formatted(u"ImageDataLength too long (%d)", length));
    }
    if (length >= 0) ImageDataLength = length;

    nRead = recvn(m_socket, reinterpret_cast<char*>(ImageData), length);
    if (nRead == -1) return FailAndClose(u"error reading real image data");
    if (nRead != length) {
        return FailAndClose(
            Formatted(u"nRead(%d) is not equal to ImageDataLength(%d)", nRead, length));
    }
    // Whatever the length, the first two bytes decide (a short payload leaves older bytes there).
    if (ImageData[0] != 0xFF || ImageData[1] != 0xD8) return FailAndClose(u"image data spoiled");
    if (m_owner->IsCurrentConnection(m_ticket)) SendMessageW(m_hWnd, WM_IMAGE_ARRIVED, 0, 0);
    return TRUE;
}

// The end of every connection: the disconnected flags, then one last notification.
void CameraConnection::End() {
    m_owner->SetConnected(m_ticket, FALSE);
    m_owner->SetTrying(m_ticket, FALSE);
    m_owner->SetFirstFrame(m_ticket, TRUE);
    if (m_owner->IsCurrentConnection(m_ticket)) SendMessageW(m_hWnd, WM_IMAGE_ARRIVED, 0, 0);
}

BOOL CameraConnection::FailAndClose(const CString& report) {
    TraceMessage(report);
    return Close();
}

BOOL CameraConnection::Close() {
    CloseCameraSocket(m_socket);
    return FALSE;
}

}  // namespace

UINT CameraThreadProc(LPVOID pParam) {
    CameraConnection connection(static_cast<CCameraOwner*>(pParam));
    return connection.Run();
}
