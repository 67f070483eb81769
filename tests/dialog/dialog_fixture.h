// The real main dialog, created modeless in a fresh settings home, with its protected record
// opened for the tests, and a camera link to a fake camera for counting image requests.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <memory>
#include <string>

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
    using CPemblarDlg::m_strPort;
    using CPemblarDlg::m_strStamp;
    using CPemblarDlg::UpdateFrameRate;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void CreateDialog();  // and shows it
    void Click(int id);   // the button with the id, through Qt
    LRESULT Arrive();     // WM_IMAGE_ARRIVED, as the camera thread sends it
    /* Starts the camera and creates the dialog Connected over a socket logged in to it. */
    void CreateConnected();
    static void LoadFrame(const std::vector<uint8_t>& frame);  // into the frame buffer
    bool WaitForRequests(int count);  // false when the camera never counts that many
    static void Settle();             // pumps events a little while, so pending paints run
    /* Draws the text on the image as the view draws its texts. */
    static void DrawViewText(QImage* image, const std::u16string& text, RECT rect,
                             COLORREF ink = RGB(0, 0, 0), COLORREF paper = RGB(255, 255, 255));

    std::atomic<int64_t> m_now{0};  // the performance counter, moved by hand (1 MHz)
    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    fakecamera::FakeCamera m_camera;
    std::unique_ptr<TestDialog> m_dialog;
};
