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

class ViewerDialog : public CPemblarDlg {
public:
    using CPemblarDlg::m_bConnected;
    using CPemblarDlg::m_bLoading;
    using CPemblarDlg::m_bRunning;
    using CPemblarDlg::m_bTrying;
    using CPemblarDlg::m_fFps;
    using CPemblarDlg::m_pThread;
    using CPemblarDlg::m_socket;
    using CPemblarDlg::m_strStamp;
};

struct LoginAnswer {
    std::u16string id;
    std::u16string password;
    bool savePassword = false;
    bool ok = true;  // false: Cancel
};

// What the login dialog showed when it opened.
struct LoginSeen {
    std::u16string id;
    std::u16string password;
    bool savePassword = false;
    bool shown = false;
};

class ViewerTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    /* Creates and shows the main dialog as the application's main window. */
    void StartViewer();
    /* Destroys the main dialog, as ending it does. */
    void CloseViewer();
    /* Types the address and port into the entries. */
    void Type(const std::u16string& ip, const std::u16string& port);
    enum class Press { kClick, kEnterOnFocus };
    /* Presses Connect (a click, or Enter with the keyboard focus on the button); the login
       dialog that opens is answered with `answer`. */
    LoginSeen PressConnect(const LoginAnswer& answer = {u"admin", u"secret"},
                           Press press = Press::kClick);
    /* Presses the button while it reads "Disconnect". */
    void PressDisconnect();
    /* Presses Connect with the fake camera's address typed in. */
    LoginSeen ConnectToCamera(const LoginAnswer& answer = {u"admin", u"secret"});
    /* The Connect/Disconnect button's label. */
    std::u16string ButtonText() const;
    /* The items of a combo box. */
    std::vector<std::u16string> Items(int id) const;
    /* Pumps events until n more frames have been shown; false after the time-out. */
    bool WaitForFrames(int n);
    /* Pumps events until the view is Disconnected and the button reads "Connect". */
    bool WaitForDisconnected();
    /* A visible message box with that text; NULL when none shows within the time-out. */
    QMessageBox* WaitForMessageBox(const QString& text);

    void ClickConnectButton();
    /* Pumps events until every text has been reported; expects each. */
    void ExpectTraced(const std::vector<std::string>& texts);
    /* Whether the view streams: connected, not trying, the button reads "Disconnect". */
    bool IsStreaming();
    /* Live sockets, threads, bitmaps, windows and device contexts of the platform. */
    static std::array<int, 5> LiveObjects();

    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    fakecamera::FakeCamera m_camera;
    std::unique_ptr<ViewerDialog> m_viewer;
    int m_threadsBefore = 0;
};
