// Connect, stream, disconnect and reconnect through the real dialogs against the fake camera.
#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace {

const RECT kCaptionText = {5, 72, 165, 90};

TEST_F(ViewerTest, CancelsStreamsAndReconnectsWithTheSavedLogin) {
    StartViewer();
    EXPECT_TRUE(m_viewer->m_bLoading);
    EXPECT_EQ(ButtonText(), u"Connect");
    // Enter on the focused button opens the login. A cancelled login connects nothing and adds
    // nothing to the history, but ends loading.
    Type(u"127.0.0.1", QString::number(m_camera.Port()).toStdU16String());
    LoginSeen seen = PressConnect({u"x", u"y", false, false}, Press::kEnterOnFocus);
    EXPECT_TRUE(seen.shown);
    EXPECT_FALSE(m_viewer->m_bLoading);
    EXPECT_FALSE(m_viewer->m_bConnected);
    EXPECT_EQ(ButtonText(), u"Connect");
    EXPECT_TRUE(Items(IDC_COMBO_IP).empty());
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(m_camera.ConnectionCount(), 0);

    seen = PressConnect({u"alice", u"pa55word", true});
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.id, u"");
    EXPECT_FALSE(seen.savePassword);
    EXPECT_EQ(ButtonText(), u"Disconnect");
    ASSERT_TRUE(WaitForFrames(20)) << m_camera.FramesSent();
    ASSERT_EQ(m_camera.AuthPackets().size(), 1u);
    const std::string packet = m_camera.AuthPackets()[0];
    EXPECT_EQ(packet.substr(0, 4), "0300");
    EXPECT_EQ(packet.substr(16, 6), std::string("alice\0", 6));
    EXPECT_EQ(packet.substr(32, 9), std::string("pa55word\0", 9));

    // The frame rate is published after the first interval of more than a second.
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_viewer->m_fFps > 0.0f; },
                                              std::chrono::seconds(20)));
    const QImage view = test_support::GrabWindow(m_viewer->m_hWnd);
    EXPECT_GT(test_support::CountColour(view, kCaptionText, 0x000000), 200);
    EXPECT_EQ(std::u16string(m_viewer->m_strStamp.GetString()).substr(0, 6), u"frame ");
    // The address and port joined their lists.
    EXPECT_EQ(Items(IDC_COMBO_IP), std::vector<std::u16string>{u"127.0.0.1"});
    EXPECT_EQ(Items(IDC_COMBO_PORT).size(), 1u);

    PressDisconnect();
    EXPECT_FALSE(m_viewer->m_bRunning);
    ASSERT_TRUE(WaitForDisconnected());

    // The login opens pre-filled because Save Password was ticked.
    seen = PressConnect({u"alice", u"pa55word", true});
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.id, u"alice");
    EXPECT_EQ(seen.password, u"pa55word");
    EXPECT_TRUE(seen.savePassword);
    ASSERT_TRUE(WaitForFrames(10));
    EXPECT_EQ(m_camera.ConnectionCount(), 2);
    // The earlier connection's socket was closed at the new Connect and its thread has ended,
    // without taking the newer connection's view state with it.
    ASSERT_TRUE(test_support::PumpEventsUntil([&] {
        return m_camera.ActiveConnections() == 1 &&
               platform_testing::LiveThreadCount() == m_threadsBefore + 1;
    }));
    EXPECT_TRUE(m_viewer->m_bConnected);
    EXPECT_EQ(ButtonText(), u"Disconnect");
    ASSERT_TRUE(WaitForFrames(10));
}

}  // namespace
