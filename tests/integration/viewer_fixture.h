// The whole viewer as a user meets it: the real main dialog with its controls, the real login
// dialog answered by clicking, the real camera thread streaming from the fake camera on loopback,
// and a real settings file in a fresh settings home.
#pragma once

#include <gtest/gtest.h>

#include <QMessageBox>
#include <array>
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

class ViewerTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    /* Creates and shows the main dialog as the application's main window. */
    void StartViewer();
    /* Destroys the main dialog, as ending it does. */
    void CloseViewer();
    void Type(const std::u16string& ip, const std::u16string& port);
    void ClickConnectButton();
    /* Clicks Connect and answers the login dialog that opens; what that dialog showed. */
    Login PressConnect(const Login& answer = {u"admin", u"secret"});
    /* Types the fake camera's address, then PressConnect. */
    Login ConnectToCamera(const Login& answer = {u"admin", u"secret"});
    /* The main dialog's control of that id as its widget class; NULL for another class. */
    template <class Widget>
    Widget* Control(int id) const {
        return qobject_cast<Widget*>(test_support::WidgetOf(GetDlgItem(m_viewer->m_hWnd, id)));
    }
    std::u16string ButtonText() const;
    std::vector<std::u16string> Items(int comboId) const;
    /* Whether the view streams: connected, not trying, the button reads "Disconnect". */
    bool IsStreaming();
    /* Live sockets, threads, bitmaps, windows and device contexts of the platform. */
    static std::array<int, 5> LiveObjects();

    // Each pumps events until it holds; false (NULL) after the time-out.
    bool WaitForFrames(int n);  // n more frames sent by the camera
    bool WaitForDisconnected();
    QMessageBox* WaitForMessageBox(const QString& text);
    /* Waits until every text has been reported; expects each. */
    void ExpectTraced(const std::vector<std::string>& texts);

    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    fakecamera::FakeCamera m_camera;
    std::unique_ptr<ViewerDialog> m_viewer;
    int m_threadsBefore = 0;
};
