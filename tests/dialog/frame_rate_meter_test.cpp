// The frame-rate meter on the fixture's performance counter, moved by hand.
#include "dialog/dialog_fixture.h"
#include "platform/testing/hooks.h"

namespace {

TEST_F(DialogTest, FrameRateMeterPublishesTheRateOfEachIntervalOfMoreThanASecond) {
    CreateDialog();
    const struct {
        double at;
        bool firstFrame;  // set as the end of a connection sets it
        float rate;
        int frames;
    } steps[] = {
        {0.0, false, 0.0f, 0},  // the dialog's first frame starts the interval
        {0.3, false, 0.0f, 1},   {0.9, false, 0.0f, 2},
        {1.2, false, 2.5f, 0},                           // 3 frames over 1.2 s close it
        {3.7, false, 0.4f, 0},                           // a frame every 2.5 s closes one each
        {6.2, false, 0.4f, 0},   {7.2, false, 0.4f, 1},  // exactly one second does not close it
        {4.0, false, 0.4f, 2},                           // nor does a counter going backwards
        {5.0, true, 0.4f, 0},     // the next connection's first frame only restarts
        {25.0, false, 0.05f, 0},  // and the gap to its second is measured alone
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "at " << step.at);
        if (step.firstFrame) m_dialog->m_bFirstFrame = TRUE;
        NotifyAt(step.at);
        EXPECT_FLOAT_EQ(step.rate, m_dialog->m_fFps);
        EXPECT_EQ(step.frames, m_dialog->m_nFrames);
    }
    EXPECT_FALSE(m_dialog->m_bFirstFrame);
}

TEST_F(DialogTest, FrameRateMeterWithoutACounterOrWithAZeroFrequencyNothingIsPublished) {
    for (bool present : {false, true}) {
        SCOPED_TRACE(present ? "zero frequency" : "no counter");
        platform_testing::SetPerformanceCounter(present, 0, [this] { return m_now.load(); });
        CreateDialog();
        for (int i = 0; i < 30; ++i) NotifyAt(0.5 * i);
        EXPECT_EQ(0.0f, m_dialog->m_fFps);
        EXPECT_EQ(present ? 29 : 0, m_dialog->m_nFrames);
        m_dialog->DestroyWindow();
    }
    EXPECT_EQ(1, m_trace.Count("The system does not have a performance counter.\r\n"
                               "So Frame rate can't be displayed."));
}

}  // namespace
