// The real main dialog, modeless in a fresh settings home, and a fake camera counting requests.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <memory>

#include "camera/camera_thread.h"
#include "dialog/pemblar_dlg.h"
#include "fakecamera/fake_camera.h"
#include "support/settings_home.h"
#include "support/trace_recorder.h"

class TestDialog : public CPemblarDlg {
public:
    using CPemblarDlg::m_bConnected, CPemblarDlg::m_bFirstFrame, CPemblarDlg::m_bLoading,
        CPemblarDlg::m_bRunning, CPemblarDlg::m_btnConnect, CPemblarDlg::m_bTrying,
        CPemblarDlg::m_comboIP, CPemblarDlg::m_comboPort, CPemblarDlg::m_fFps, CPemblarDlg::m_image,
        CPemblarDlg::m_nFrames, CPemblarDlg::m_socket, CPemblarDlg::m_strIP, CPemblarDlg::m_strPort,
        CPemblarDlg::m_strStamp, CPemblarDlg::UpdateFrameRate;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void CreateDialog();  // and shows it
    void Click(int id);   // the button with the id, through Qt
    LRESULT Arrive() { return SendMessageW(m_dialog->m_hWnd, WM_IMAGE_ARRIVED, 0, 0); }
    void NotifyAt(double seconds) {  // one frame-rate notification at that counter time
        m_now = static_cast<int64_t>(seconds * 1000000);
        m_dialog->UpdateFrameRate();
    }
    void CreateConnected();  // the camera started, the dialog Connected over a logged-in socket
    static void LoadFrame(const std::vector<uint8_t>& frame);  // into the frame buffer
    bool WaitForRequests(int count);  // false when the camera never counts that many
    static void Settle();             // pumps events a little while, so pending paints run
    static void DrawViewText(QImage* image, const std::u16string& text, RECT rect,
                             COLORREF ink = RGB(0, 0, 0), COLORREF paper = RGB(255, 255, 255));

    std::atomic<int64_t> m_now{0};  // the performance counter, moved by hand (1 MHz)
    ScopedSettingsHome m_home;
    test_support::TraceRecorder m_trace;
    fakecamera::FakeCamera m_camera;
    std::unique_ptr<TestDialog> m_dialog;
};
