#include "camera_run.h"

#include <gtest/gtest.h>

#include "camera/camera_protocol.h"
#include "camera/camera_thread.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"

CameraRun::CameraRun(TestCameraOwner& owner) : m_owner(owner) {
    m_window =
        platform_testing::CreateTestWindow([this](UINT message, WPARAM wParam, LPARAM lParam) {
            if (message != WM_IMAGE_ARRIVED) return LRESULT{0};
            // The camera thread waits in its hand-off while this runs, so the buffer is still.
            Notification seen;
            seen.wParam = wParam;
            seen.lParam = lParam;
            seen.length = ImageDataLength;
            seen.start[0] = ImageData[0];
            seen.start[1] = ImageData[1];
            seen.caption.assign(reinterpret_cast<const char*>(ImageData) + 24, 19);
            seen.connected = m_owner.connected.load();
            seen.trying = m_owner.trying.load();
            seen.firstFrame = m_owner.firstFrame.load();
            m_notifications.push_back(seen);
            if (onNotification) onNotification(seen);
            return LRESULT{0};
        });
    m_owner.window = m_window;
}

CameraRun::~CameraRun() {
    if (m_thread != nullptr && ExitCode() == STILL_ACTIVE) {
        ADD_FAILURE() << "the camera thread was still running at the end of the test";
        m_owner.running = FALSE;
        closesocket(m_owner.socket.load());
        WaitForEnd();
    }
    m_thread.reset();
    DestroyWindow(m_window);
}

bool CameraRun::Start() {
    CWinThread* thread =
        AfxBeginThread(CameraThreadProc, &m_owner, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread == nullptr) return false;
    thread->m_bAutoDelete = FALSE;
    m_thread.reset(thread);
    m_thread->ResumeThread();
    return true;
}

bool CameraRun::WaitForEnd() {
    return test_support::PumpEventsUntil([this] { return ExitCode() != STILL_ACTIVE; });
}

bool CameraRun::WaitForNotifications(size_t count) {
    return test_support::PumpEventsUntil([&] { return m_notifications.size() >= count; });
}

DWORD CameraRun::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_thread != nullptr) GetExitCodeThread(m_thread->m_hThread, &code);
    return code;
}

BOOL CameraRun::RequestNextFrame() {
    return SendImageRequestPacket(m_owner.socket.load());
}
