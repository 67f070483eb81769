// Fuzz target: a camera's byte stream through the real camera thread. Each input is everything
// a camera says on one connection, sent by a loopback peer that then reads until the thread hangs
// up. The thread runs on the calling thread, so its notifications reach a window on the same
// thread at once; the window asks for the next frame on each one, as a connected paint does.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>

#include "camera/camera_owner.h"
#include "camera/camera_protocol.h"
#include "camera/camera_thread.h"
#include "fuzz_environment.h"
#include "loopback_peer.h"
#include "platform/testing/hooks.h"

namespace {

using fuzz_support::Violation;

// The dialog's part as the camera thread sees it: one connection, always the current one, and
// running until the stream ends.
class StreamOwner : public CCameraOwner {
public:
    HWND window = nullptr;
    int port = 0;
    SOCKET socket = 0;
    int socketWrites = 0;
    BOOL connected = FALSE;
    BOOL trying = TRUE;
    BOOL firstFrame = FALSE;

    HWND GetNotifyWindow() override { return window; }
    DWORD GetConnectionTicket() override { return 1; }
    BOOL IsCurrentConnection(DWORD) override { return TRUE; }
    CString GetCameraHost() override { return u"127.0.0.1"; }
    int GetCameraPort(CString*) override { return port; }
    BOOL IsRunning() override { return TRUE; }
    CString GetID() override { return u"admin"; }
    CString GetPassword() override { return u"secret"; }
    BOOL SetSocket(DWORD, SOCKET s) override {
        socket = s;
        ++socketWrites;
        return TRUE;
    }
    void SetConnected(DWORD, BOOL value) override { connected = value; }
    void SetTrying(DWORD, BOOL value) override { trying = value; }
    void SetFirstFrame(DWORD, BOOL value) override { firstFrame = value; }
};

int g_listener = -1, g_port = 0;  // the camera's end
StreamOwner* g_owner = nullptr;
int g_frames = 0;
int g_boxes = 0;

LRESULT OnMessage(UINT message, WPARAM, LPARAM) {
    if (message != WM_IMAGE_ARRIVED) return 0;
    // The hand-off's promises: a whole frame that starts like a JPEG, within the buffer.
    if (ImageDataLength < 0 || ImageDataLength > MAX_IMAGE_DATA_LENGTH) {
        Violation("ImageDataLength stays within the frame buffer");
    }
    if (g_owner->connected) {
        if (ImageData[0] != 0xFF || ImageData[1] != 0xD8) {
            Violation("a frame is handed over only when it starts with FF D8");
        }
        ++g_frames;
        SendImageRequestPacket(g_owner->socket);
    }
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::StartApplication();
    if (!fuzz_support::ListenOnLoopback(&g_listener, &g_port)) {
        Violation("a loopback listener can be made");
    }
    platform_testing::SetMessageBoxAnswerer([](const std::u16string&, UINT) {
        ++g_boxes;
        return IDOK;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HWND window = platform_testing::CreateTestWindow(OnMessage);
    const int socketsBefore = platform_testing::OpenSocketCount();

    StreamOwner owner;
    owner.window = window;
    owner.port = g_port;
    g_owner = &owner;
    g_frames = 0;
    g_boxes = 0;
    // A short payload leaves older bytes in the buffer; each input starts from the same one.
    std::memset(ImageData, 0, sizeof ImageData);
    ImageDataLength = 0;

    std::thread cameraEnd([&] { fuzz_support::ServeOne(g_listener, data, size); });
    CameraThreadProc(&owner);
    cameraEnd.join();
    g_owner = nullptr;

    // Every connection ends in the disconnected state with its socket closed, whatever the
    // camera said; at most one message box tells of a refused login.
    if (owner.connected || owner.trying || !owner.firstFrame) {
        Violation("the connection ends disconnected, not trying, waiting for a first frame");
    }
    if (owner.socketWrites != 1) Violation("the thread hands over exactly one socket");
    if (platform_testing::OpenSocketCount() != socketsBefore) {
        Violation("the thread closes its socket at the end of the connection");
    }
    if (g_boxes > 1) Violation("at most one message box per connection");
    // Each frame needs a 32-byte header ahead of it, after the 4-byte handshake and login replies.
    if (g_frames > 0 && size < size_t{8} + size_t{32} * static_cast<size_t>(g_frames)) {
        Violation("no frame is handed over that the stream did not carry");
    }
    return 0;
}
