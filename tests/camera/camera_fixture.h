// What the camera thread tests share: a stand-in for the dialog that owns the thread, a run of
// the thread whose window records each notification, a fake camera and the diagnostics.
#pragma once

#include <gtest/gtest.h>

#include "camera/camera_owner.h"
#include "camera/camera_protocol.h"
#include "camera/camera_thread.h"
#include "fakecamera/fake_camera.h"
#include "platform/testing/hooks.h"
#include "support/blocking_probe.h"
#include "support/pump_events.h"
#include "support/trace_recorder.h"

// Scripts are written with designated initializers: the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Strings = std::vector<std::string>;

inline const char kClosedGracefully[] = "nRead is 0 in recvn(the connection was closed gracefully)";

/* A payload of `size` bytes that starts with FF D8 and carries the caption at bytes 24..42. */
inline std::vector<uint8_t> MarkedPayload(size_t size, const std::string& caption) {
    std::vector<uint8_t> payload(size, 0x55);
    payload[0] = 0xFF;
    payload[1] = 0xD8;
    for (size_t i = 0; i < 19; ++i) payload[24 + i] = i < caption.size() ? caption[i] : ' ';
    return payload;
}

// The dialog's part: the texts and port to connect with, the running flag, ticketed flag setters
// (a superseded connection changes nothing) and a record of every setter call.
class TestCameraOwner : public CCameraOwner {
public:
    HWND window = nullptr;
    CString host = u"127.0.0.1";
    int port = 0;
    CString id = u"admin", password = u"secret";
    std::atomic<BOOL> running{TRUE};
    std::atomic<bool> refuseSocket{false};  // as a closing dialog refuses the new socket
    std::atomic<SOCKET> socket{0};
    std::atomic<int> cameraThreadId{0};  // kernel id of the thread that took a ticket last

    /* A new connection becomes the current one, as a Connect command makes it. */
    void BeginConnection() { ++m_current; }
    /* Every setter call in order as "name=value", "stale:name=value" for a superseded one, and
       "shown" for each notification the window took. */
    Strings Events() const {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events;
    }

    HWND GetNotifyWindow() override { return window; }
    DWORD GetConnectionTicket() override {
        cameraThreadId = test_support::KernelThreadId();
        return m_current;
    }
    BOOL IsCurrentConnection(DWORD ticket) override { return ticket == m_current; }
    CString GetCameraHost() override { return host; }
    int GetCameraPort(CString* portText) override {
        portText->Format(u"%d", port);
        return port;
    }
    BOOL IsRunning() override { return running.load(); }
    CString GetID() override { return id; }
    CString GetPassword() override { return password; }
    BOOL SetSocket(DWORD ticket, SOCKET s) override {
        if (!Record(ticket, refuseSocket ? "socket refused" : "socket") || refuseSocket)
            return FALSE;
        socket = s;
        return TRUE;
    }
    void SetConnected(DWORD t, BOOL v) override { Record(t, "connected=" + std::to_string(v)); }
    void SetTrying(DWORD t, BOOL v) override { Record(t, "trying=" + std::to_string(v)); }
    void SetFirstFrame(DWORD t, BOOL v) override { Record(t, "firstFrame=" + std::to_string(v)); }
    /* Records a notification the window took, on the test thread. */
    void Shown() { Record(m_current, "shown"); }

private:
    bool Record(DWORD ticket, const std::string& what) {  // true for the current connection
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back(ticket == m_current ? what : "stale:" + what);
        return ticket == m_current;
    }

    mutable std::mutex m_lock;
    std::atomic<DWORD> m_current{1};
    Strings m_events;
};

// ImageDataLength and the caption (ImageData[24..42]) the window saw at one notification.
using Notification = std::pair<int32_t, std::string>;

// One camera thread, made through the framework and kept by the run; its window takes the
// notifications on the test thread while the test pumps events.
class CameraRun {
public:
    explicit CameraRun(TestCameraOwner& owner) : m_owner(owner) {
        m_window = platform_testing::CreateTestWindow([this](UINT message, WPARAM, LPARAM) {
            if (message != WM_IMAGE_ARRIVED) return LRESULT{0};
            // The camera thread waits in its hand-off while this runs, so the buffer is still.
            m_notifications.push_back(
                {ImageDataLength, std::string(reinterpret_cast<const char*>(ImageData) + 24, 19)});
            m_owner.Shown();
            if (onNotification) onNotification();
            return LRESULT{0};
        });
        m_owner.window = m_window;
    }
    ~CameraRun() {
        if (ExitCode() == STILL_ACTIVE) {
            ADD_FAILURE() << "the camera thread was still running at the end of the test";
            m_owner.running = FALSE;
            closesocket(m_owner.socket.load());
            WaitForEnd();
        }
        DestroyWindow(m_window);
    }

    /* Called inside each notification, after it has been recorded. */
    std::function<void()> onNotification;

    bool Start() {
        m_thread.reset(AfxBeginThread(CameraThreadProc, &m_owner, THREAD_PRIORITY_NORMAL, 0,
                                      CREATE_SUSPENDED));
        if (m_thread == nullptr) return false;
        m_thread->m_bAutoDelete = FALSE;
        return m_thread->ResumeThread() != static_cast<DWORD>(-1);
    }
    /* Pumps events until the thread has ended; false after 10 s. */
    bool WaitForEnd() {
        return test_support::PumpEventsUntil([this] { return ExitCode() != STILL_ACTIVE; });
    }
    bool Run() { return Start() && WaitForEnd(); }
    DWORD ExitCode() const {
        DWORD code = 0;
        if (m_thread != nullptr) GetExitCodeThread(m_thread->m_hThread, &code);
        return code;
    }
    const std::vector<Notification>& Notifications() const { return m_notifications; }
    /* Sends the next image request on the owner's socket, as a connected paint does. */
    BOOL RequestNextFrame() { return SendImageRequestPacket(m_owner.socket.load()); }

private:
    TestCameraOwner& m_owner;
    HWND m_window = nullptr;
    std::unique_ptr<CWinThread> m_thread;
    std::vector<Notification> m_notifications;
};

class CameraThreadTest : public ::testing::Test {
protected:
    void TearDown() override { platform_testing::SetHostResolver({}); }

    /* Starts the fake camera with the script and points the owner at it. */
    void StartCamera(fakecamera::Script script) {
        camera.SetScript(std::move(script));
        ASSERT_TRUE(camera.Start());
        owner.port = camera.Port();
    }
    /* The end sequence ran once, after the `frames` frames: the disconnected flags in order, then
       one notification. */
    void ExpectEndedOnce(const CameraRun& run, size_t frames) {
        EXPECT_EQ(frames + 1, run.Notifications().size());
        const Strings events = owner.Events();
        ASSERT_GE(events.size(), 4u);
        EXPECT_EQ((Strings{"connected=0", "trying=0", "firstFrame=1", "shown"}),
                  Strings(events.end() - 4, events.end()));
    }
    /* The thread closed its socket itself, once, and nothing stays open. */
    void ExpectClosedOnce() {
        EXPECT_EQ(0, trace.Count("closesocket failed"));
        EXPECT_EQ(openSocketsBefore, platform_testing::OpenSocketCount());
    }

    fakecamera::FakeCamera camera;
    TestCameraOwner owner;
    test_support::TraceRecorder trace;
    const int openSocketsBefore = platform_testing::OpenSocketCount();
};
