// Fuzz target: all a camera says on one connection, served on loopback to the real camera thread,
// run on this thread; its window asks for the next frame on each one, as a connected paint does.
#include <thread>

#include "camera/camera_owner.h"
#include "camera/camera_protocol.h"
#include "camera/camera_thread.h"
#include "fuzz_support.h"
#include "platform/testing/hooks.h"

namespace {

int g_listener = -1, g_port = 0;  // the camera's end
int g_frames = 0, g_boxes = 0;    // frames handed over, message boxes shown on this connection
HWND g_window = nullptr;          // receives the camera thread's notifications

// The dialog's part as the camera thread sees it: one connection, current until the stream ends.
class StreamOwner : public CCameraOwner {
public:
    SOCKET socket = 0;
    int socketWrites = 0;
    BOOL connected = FALSE, trying = TRUE, firstFrame = FALSE;

    HWND GetNotifyWindow() override { return g_window; }
    DWORD GetConnectionTicket() override { return 1; }
    BOOL IsCurrentConnection(DWORD) override { return TRUE; }
    CString GetCameraHost() override { return u"127.0.0.1"; }
    int GetCameraPort(CString*) override { return g_port; }
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

StreamOwner* g_owner = nullptr;

LRESULT OnMessage(UINT message, WPARAM, LPARAM) {
    if (message != WM_IMAGE_ARRIVED) return 0;
    Require(ImageDataLength >= 0 && ImageDataLength <= MAX_IMAGE_DATA_LENGTH,
            "ImageDataLength stays within the frame buffer");
    if (g_owner->connected) {
        Require(ImageData[0] == 0xFF && ImageData[1] == 0xD8, "a frame starts with FF D8");
        ++g_frames;
        SendImageRequestPacket(g_owner->socket);
    }
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartApplication();
    g_listener = ListenOnLoopback(&g_port);
    g_window = platform_testing::CreateTestWindow(OnMessage);
    platform_testing::SetMessageBoxAnswerer([](const std::u16string&, UINT) {
        ++g_boxes;
        return IDOK;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int socketsBefore = platform_testing::OpenSocketCount();

    StreamOwner owner;
    g_owner = &owner;
    g_frames = g_boxes = 0;
    LoadFrameBuffer(nullptr, 0);

    std::thread cameraEnd([&] { ServeOne(g_listener, data, size); });
    CameraThreadProc(&owner);
    cameraEnd.join();

    // Whatever the camera said, the connection ends disconnected with its socket closed.
    Require(!owner.connected && !owner.trying && owner.firstFrame,
            "the connection ends disconnected, not trying, waiting for a first frame");
    Require(owner.socketWrites == 1, "the thread hands over exactly one socket");
    Require(platform_testing::OpenSocketCount() == socketsBefore, "the thread closes its socket");
    Require(g_boxes <= 1, "at most one message box per connection");
    // Each frame needs a 32-byte header ahead of it, after the 4-byte handshake and login replies.
    Require(g_frames == 0 || size >= size_t{8} + size_t{32} * static_cast<size_t>(g_frames),
            "no frame is handed over that the stream did not carry");
    return 0;
}
