// The whole viewer as a user meets it: the real dialogs, answered by clicking, the real camera
// thread streaming from the fake camera on loopback, a real settings file in a fresh home.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialog/pemblar_dlg.h"
#include "fakecamera/fake_camera.h"
#include "support/settings_home.h"
#include "support/trace_recorder.h"
#include "support/window_pixels.h"

class ViewerDialog : public CPemblarDlg {
public:
    using CPemblarDlg::m_bConnected;
    using CPemblarDlg::m_bLoading;
    using CPemblarDlg::m_bTrying;
    using CPemblarDlg::m_fFps;
    using CPemblarDlg::m_pThread;
    using CPemblarDlg::m_socket;
    using CPemblarDlg::m_strStamp;
};

// A login dialog's fields: as answered (ok false: Cancel), or as shown (ok false: never shown).
struct Login {
    std::u16string id, password;
    bool savePassword = false;
    bool ok = true;
};

/* Polls, without running the UI thread's events, until `done` holds or 10 s have passed. */
void WaitOffTheUiThread(const std::function<bool()>& done);

class ViewerTest : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(m_camera.Start()); }
    void TearDown() override;

    void StartViewer();  // shown as the application's main window
    void CloseViewer();
    void Type(const std::u16string& ip, const std::u16string& port);
    void ClickConnectButton();
    /* Clicks Connect and answers the login dialog that opens; what that dialog showed. */
    Login PressConnect(const Login& answer = {u"admin", u"secret"});
    Login ConnectToCamera(const Login& answer = {u"admin", u"secret"});
    template <class Widget>
    Widget* Control(int id) const {
        return qobject_cast<Widget*>(test_support::WidgetOf(GetDlgItem(m_viewer->m_hWnd, id)));
    }
    std::u16string ButtonText() const;
    std::vector<std::u16string> Items(int comboId) const;
    bool IsStreaming();

    // Each pumps events until it holds; false (NULL) after the time-out.
    bool WaitForFrames(int n);  // n more frames sent by the camera
    bool WaitForDisconnected();

    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    fakecamera::FakeCamera m_camera;
    std::unique_ptr<ViewerDialog> m_viewer;
};
