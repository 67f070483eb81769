// Connect presses that end before anything streams: nothing typed, or no camera thread to be had.
#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"

namespace {

// Empty entries pressed with Connect on an empty history: the press is tried and fails, but no
// empty item joins either list, the settings file or the next run's lists.
TEST_F(ViewerTest, EmptyEntriesNeverBecomeHistoryItems) {
    StartViewer();
    Type(u"", u"");
    PressConnect();
    ASSERT_TRUE(WaitForDisconnected());
    EXPECT_EQ(Items(IDC_COMBO_IP), std::vector<std::u16string>{});
    EXPECT_EQ(Items(IDC_COMBO_PORT), std::vector<std::u16string>{});
    CloseViewer();
    EXPECT_FALSE(m_home.ReadSettingsFile().contains("..!@#$%.."))
        << m_home.ReadSettingsFile().toStdString();
    StartViewer();
    EXPECT_EQ(Items(IDC_COMBO_IP), std::vector<std::u16string>{});
    EXPECT_EQ(Items(IDC_COMBO_PORT), std::vector<std::u16string>{});
}

// A camera thread that cannot be created: the view goes back to Disconnected with nothing left
// over, and the next Connect streams.
TEST_F(ViewerTest, AThreadThatCannotBeCreatedLeavesTheViewerUsable) {
    StartViewer();
    const auto before = LiveObjects();
    platform_testing::FailThreadCreations(1);
    ConnectToCamera();
    EXPECT_FALSE(m_viewer->m_bTrying);
    EXPECT_FALSE(m_viewer->m_bConnected);
    EXPECT_EQ(ButtonText(), u"Connect");
    EXPECT_EQ(m_viewer->m_pThread, nullptr);
    EXPECT_EQ(LiveObjects(), before) << "sockets, threads, bitmaps, windows, device contexts";
    EXPECT_EQ(m_camera.ConnectionCount(), 0);

    PressConnect();
    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_TRUE(IsStreaming());
}

}  // namespace
