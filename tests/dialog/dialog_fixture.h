// The real main dialog, created modeless in a fresh settings home, with its protected record
// opened for the tests, and a camera link to a fake camera for counting image requests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "dialog/pemblar_dlg.h"
#include "fakecamera/fake_camera.h"
#include "support/settings_home.h"
#include "support/trace_recorder.h"

class TestDialog : public CPemblarDlg {
public:
    using CPemblarDlg::m_bConnected;
    using CPemblarDlg::m_bFirstFrame;
    using CPemblarDlg::m_bLoading;
    using CPemblarDlg::m_bRunning;
    using CPemblarDlg::m_btnConnect;
    using CPemblarDlg::m_bTrying;
    using CPemblarDlg::m_comboIP;
    using CPemblarDlg::m_comboPort;
    using CPemblarDlg::m_fFps;
    using CPemblarDlg::m_image;
    using CPemblarDlg::m_nFrames;
    using CPemblarDlg::m_socket;
    using CPemblarDlg::m_strIP;
    using CPemblarDlg::m_strLastStamp;
    using CPemblarDlg::m_strPort;
    using CPemblarDlg::m_strStamp;
    using CPemblarDlg::UpdateFrameRate;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* Creates and shows the dialog (the performance counter as the test set it). */
    void CreateDialog();
    /* Clicks the dialog's button with the id through Qt, as a user would. */
    void Click(int id);
    /* Sends WM_IMAGE_ARRIVED as the camera thread does; the handler's result. */
    LRESULT Arrive();
    /* Starts the camera, creates the dialog and puts it in the Connected state over a socket that
       has logged in to the camera. */
    void CreateConnected();
    /* Puts a frame into the frame buffer as the camera thread would. */
    static void LoadFrame(const std::vector<uint8_t>& frame);
    /* Pumps events until the camera has counted `count` requests; false after the time-out. */
    bool WaitForRequests(int count);
    /* Pumps events for a little while, so that pending paints run. */
    static void Settle();

    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    fakecamera::FakeCamera m_camera;
    std::unique_ptr<TestDialog> m_dialog;
};
