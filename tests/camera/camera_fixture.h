// What the camera thread tests share: a stand-in for the dialog that owns the thread, a run of
// the thread whose window records each notification, a fake camera and the diagnostics.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "camera/camera_owner.h"
#include "fakecamera/fake_camera.h"
#include "support/trace_recorder.h"

// Scripts are written with designated initializers: the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Strings = std::vector<std::string>;

extern const char kClosedGracefully[];
extern const char kConnectionReset[];

/* A payload of `size` bytes that starts with FF D8, ends with FF D9 and carries the caption. */
std::vector<uint8_t> MarkedPayload(size_t size, const std::string& caption19);

// The dialog's part: the texts and port to connect with, the running flag, ticketed flag setters
// (a superseded connection changes nothing) and a record of every setter call.
class TestCameraOwner : public CCameraOwner {
public:
    HWND window = nullptr;
    CString host = u"127.0.0.1";
    int port = 0;
    CString id = u"admin";
    CString password = u"secret";
    std::atomic<BOOL> running{TRUE};
    std::atomic<bool> refuseSocket{false};  // as a closing dialog refuses the new socket
    std::atomic<BOOL> connected{TRUE}, trying{TRUE}, firstFrame{FALSE};
    std::atomic<SOCKET> socket{0};
    std::atomic<int> cameraThreadId{0};  // kernel id of the thread that took a ticket last
    std::function<void()> onPortRead;    // runs on the camera thread as it reads the port

    /* A new connection becomes the current one, as a Connect command makes it. */
    void BeginConnection();
    /* Every setter call in order as "name=value", "stale:name=value" for a superseded one. */
    Strings Events() const;

    HWND GetNotifyWindow() override { return window; }
    DWORD GetConnectionTicket() override;
    BOOL IsCurrentConnection(DWORD ticket) override;
    CString GetCameraHost() override { return host; }
    int GetCameraPort(CString* portText) override;
    BOOL IsRunning() override { return running.load(); }
    CString GetID() override { return id; }
    CString GetPassword() override { return password; }
    BOOL SetSocket(DWORD ticket, SOCKET s) override;
    void SetConnected(DWORD ticket, BOOL value) override {
        Set(ticket, "connected", connected, value);
    }
    void SetTrying(DWORD ticket, BOOL value) override { Set(ticket, "trying", trying, value); }
    void SetFirstFrame(DWORD ticket, BOOL value) override {
        Set(ticket, "firstFrame", firstFrame, value);
    }

private:
    bool Record(DWORD ticket, const std::string& what);  // true for the current connection
    void Set(DWORD ticket, const char* name, std::atomic<BOOL>& flag, BOOL value);

    mutable std::mutex m_lock;
    DWORD m_current = 1;
    Strings m_events;
};

// What the window saw at one WM_IMAGE_ARRIVED, with the owner's flags at that moment.
struct Notification {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int32_t length = 0;      // ImageDataLength
    BYTE start[2] = {0, 0};  // ImageData[0..1]
    std::string caption;     // ImageData[24..42]
    BOOL connected = FALSE, trying = FALSE, firstFrame = FALSE;
};

// One camera thread, made suspended through the framework and kept by the run; its window takes
// the notifications on the test thread while the test pumps events.
class CameraRun {
public:
    explicit CameraRun(TestCameraOwner& owner);
    ~CameraRun();
    CameraRun(const CameraRun&) = delete;
    CameraRun& operator=(const CameraRun&) = delete;

    /* Called inside each notification, after it has been recorded. */
    std::function<void(const Notification&)> onNotification;

    bool Start();
    /* Pump events until the thread has ended / `count` notifications arrived; false after 10 s. */
    bool WaitForEnd();
    bool WaitForNotifications(size_t count);
    /* Start, then wait for the end. */
    bool Run() { return Start() && WaitForEnd(); }
    DWORD ExitCode() const;
    const std::vector<Notification>& Notifications() const { return m_notifications; }
    /* Sends the next image request on the owner's socket, as a connected paint does. */
    BOOL RequestNextFrame();

private:
    TestCameraOwner& m_owner;
    HWND m_window = nullptr;
    std::unique_ptr<CWinThread> m_thread;
    std::vector<Notification> m_notifications;
};

class CameraThreadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* Starts the fake camera with the script and points the owner at it. */
    void StartCamera(fakecamera::Script script);
    /* The end sequence ran once: exit code 0, the disconnected flags set last in order, and
       exactly one notification after the `frames` frames, seeing those flags. */
    void ExpectEndedOnce(const CameraRun& run, size_t frames);
    /* The thread closed its socket exactly once and nothing else stays open. */
    void ExpectClosedOnce();

    fakecamera::FakeCamera camera;
    TestCameraOwner owner;
    test_support::TraceRecorder trace;
    int openSocketsBefore = 0;
    int liveThreadsBefore = 0;
};
