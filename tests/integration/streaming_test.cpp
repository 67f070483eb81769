// Connect, stream, disconnect and reconnect through the real dialogs against the fake camera, and
// Connect presses that end before anything streams.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <atomic>
#include <thread>

#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace {

const RECT kCaptionText = {5, 72, 165, 90};

// A cancelled login connects nothing. The login reaches the camera; a reconnect after a pause
// opens the login pre-filled, silences the earlier thread still waiting for a frame (woken by the
// new Connect's close, it hands nothing over), shows 0.000000 until its own first interval closes
// (never a rate over the pause) and draws its caption again, though the caption never changes.
TEST_F(ViewerTest, StreamsThenReconnectsWithTheSavedLoginItsOwnRateAndItsCaption) {
    // Each reading of the counter is 0.3 s after the one before, plus the pause once it is over;
    // each also notes the rate the view showed last.
    std::atomic<int64_t> reads{0}, pause{0};
    std::vector<std::string> rates;
    platform_testing::SetPerformanceCounter(true, 1000000, [&] {
        if (m_viewer != nullptr)
            rates.push_back(QString::number(m_viewer->m_fFps, 'f', 6).toStdString());
        return reads++ * 300000 + pause.load();
    });
    struct RestoreCounter {
        ~RestoreCounter() { platform_testing::ResetPerformanceCounter(); }
    } restore;
    fakecamera::Script script;
    script.generated.caption = [](int) { return std::string("the same caption..."); };
    script.frameLimit = 5;  // then the thread waits for a frame that never comes
    m_camera.SetScript(script);
    StartViewer();
    EXPECT_TRUE(ConnectToCamera({u"x", u"y", false, false}).ok);
    EXPECT_FALSE(m_viewer->m_bLoading);
    EXPECT_EQ(ButtonText(), u"Connect");
    EXPECT_TRUE(Items(IDC_COMBO_IP).empty());

    Login seen = PressConnect({u"alice", u"pa55word", true});
    EXPECT_EQ(seen.id, u"");
    EXPECT_FALSE(seen.savePassword);
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_viewer->m_fFps > 0.0f; }));
    ASSERT_EQ(m_camera.AuthPackets().size(), 1u);
    EXPECT_EQ(m_camera.AuthPackets()[0].substr(16, 6), std::string("alice\0", 6));
    EXPECT_EQ(m_camera.AuthPackets()[0].substr(32, 9), std::string("pa55word\0", 9));
    ClickConnectButton();
    ASSERT_TRUE(WaitForDisconnected());

    pause = 20000000;
    script.frameLimit = -1;
    m_camera.SetScript(script);
    const SOCKET earlierSocket = m_viewer->m_socket;
    const HANDLE earlierThread = m_viewer->m_pThread->m_hThread;
    const HWND window = m_viewer->m_hWnd;
    bool held = false, earlierThreadSent = false;
    platform_testing::SetSocketCloseObserver([&](uint32_t s) {
        if (s != earlierSocket || held) return;
        // Connect is held right after its close until the woken thread has ended or waits to hand
        // a notification over (which Connect, holding the UI thread, keeps waiting).
        held = true;
        WaitOffTheUiThread([&] {
            DWORD code = STILL_ACTIVE;
            return platform_testing::WaitingSendCount(window) > 0 ||
                   !GetExitCodeThread(earlierThread, &code) || code != STILL_ACTIVE;
        });
        earlierThreadSent = platform_testing::WaitingSendCount(window) > 0;
    });
    rates.clear();
    seen = PressConnect({u"alice", u"pa55word", true});
    platform_testing::SetSocketCloseObserver({});
    EXPECT_EQ(seen.id, u"alice");
    EXPECT_EQ(seen.password, u"pa55word");
    EXPECT_TRUE(seen.savePassword);
    EXPECT_TRUE(held);
    EXPECT_FALSE(earlierThreadSent) << "the superseded thread handed a notification over";

    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return rates.size() >= 8; }));
    EXPECT_EQ(std::vector<std::string>(rates.begin(), rates.begin() + 5),
              std::vector<std::string>(5, "0.000000"));
    EXPECT_EQ(rates[5], "3.333333");
    // The caption band, white since the Trying paint, shows the caption again.
    EXPECT_TRUE(test_support::PumpEventsUntil([&] {
        const QImage view = test_support::GrabWindow(m_viewer->m_hWnd);
        return test_support::CountColour(view, kCaptionText, 0x000000) > 200;
    }));
    EXPECT_EQ(std::u16string(m_viewer->m_strStamp.GetString()), u"the same caption...");
    EXPECT_TRUE(IsStreaming());
    EXPECT_EQ(m_camera.ConnectionCount(), 2);
}

// Typing stops at 100 characters in the address entry and at 5 in the port entry.
TEST_F(ViewerTest, TheEntriesTakeTheirLimits) {
    StartViewer();
    for (auto [id, keys, kept] : {std::tuple{IDC_COMBO_IP, QString(120, u'1'), 100},
                                  std::tuple{IDC_COMBO_PORT, QString("700001"), 5}}) {
        QLineEdit* entry = Control<QComboBox>(id)->lineEdit();
        for (QChar key : keys) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QString(key));
            QApplication::sendEvent(entry, &press);
        }
        EXPECT_EQ(entry->text(), keys.left(kept)) << id;
    }
}

// Empty entries pressed with Connect on an empty history: the press is tried and fails, but no
// empty item joins either list or the settings file.
TEST_F(ViewerTest, EmptyEntriesNeverBecomeHistoryItems) {
    StartViewer();
    Type(u"", u"");
    PressConnect();
    ASSERT_TRUE(WaitForDisconnected());
    EXPECT_EQ(Items(IDC_COMBO_IP), std::vector<std::u16string>{});
    EXPECT_EQ(Items(IDC_COMBO_PORT), std::vector<std::u16string>{});
    CloseViewer();
    const QByteArray saved = m_home.ReadSettingsFile();
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_FALSE(saved.contains("..!@#$%..")) << saved.toStdString();  // the item separator
}

}  // namespace
