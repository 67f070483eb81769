// Runs one camera thread for a test: a test window takes its notifications on the test thread
// (while the test pumps events), the thread is the framework's, created suspended and kept by
// the run, and the run waits for its end.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "test_camera_owner.h"

// What the window saw at one WM_IMAGE_ARRIVED.
struct Notification {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int32_t length = 0;      // ImageDataLength
    BYTE start[2] = {0, 0};  // ImageData[0..1]
    std::string caption;     // ImageData[24..42]
    BOOL connected = FALSE;  // the owner's flags at that moment
    BOOL trying = FALSE;
    BOOL firstFrame = FALSE;
};

class CameraRun {
public:
    explicit CameraRun(TestCameraOwner& owner);
    ~CameraRun();
    CameraRun(const CameraRun&) = delete;
    CameraRun& operator=(const CameraRun&) = delete;

    /* Called on the test thread inside each notification, after it has been recorded. */
    std::function<void(const Notification&)> onNotification;

    /* Starts CameraThreadProc for the owner; false when no thread could be made. */
    bool Start();
    /* Pumps events until the thread has ended; false after 10 s. */
    bool WaitForEnd();
    /* Pumps events until `count` notifications have arrived; false after 10 s. */
    bool WaitForNotifications(size_t count);
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
