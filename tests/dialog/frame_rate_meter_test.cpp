// The frame-rate meter on a performance counter the test moves by hand.
#include <atomic>
#include <cstdio>

#include "dialog/dialog_fixture.h"
#include "platform/testing/hooks.h"

namespace {

const int64_t kFrequency = 1000000;  // counts per second

class FrameRateMeterTest : public DialogTest {
protected:
    // Creates the dialog on a counter the test moves, of that frequency when there is one.
    void CreateWithCounter(bool present = true, int64_t frequency = kFrequency) {
        platform_testing::SetPerformanceCounter(present, frequency,
                                                [this] { return m_now.load(); });
        CreateDialog();
    }
    // One notification at the given time in seconds.
    void NotifyAt(double seconds) {
        m_now = static_cast<int64_t>(seconds * static_cast<double>(kFrequency));
        m_dialog->UpdateFrameRate();
    }
    std::string Shown() const {
        char text[64];
        std::snprintf(text, sizeof text, "%f", static_cast<double>(m_dialog->m_fFps));
        return text;
    }

    std::atomic<int64_t> m_now{0};
};

TEST_F(FrameRateMeterTest, PublishesTheRateOfEachIntervalOfMoreThanASecond) {
    CreateWithCounter();
    ASSERT_TRUE(m_dialog->m_bHasPerfCounter);

    // Frames every 0.3 s: the first restarts, the one at 1.2 s closes 4 frames over 1.2 s.
    for (double t : {0.0, 0.3, 0.6, 0.9}) NotifyAt(t);
    EXPECT_EQ(Shown(), "0.000000") << "under a second publishes nothing";
    EXPECT_EQ(m_dialog->m_nFrames, 3);
    NotifyAt(1.2);
    EXPECT_EQ(Shown(), "3.333333");
    EXPECT_EQ(m_dialog->m_nFrames, 0);

    // One frame every 2.5 s: each closes an interval of its own.
    NotifyAt(3.7);
    EXPECT_EQ(Shown(), "0.400000");
    NotifyAt(6.2);
    EXPECT_EQ(Shown(), "0.400000");

    // Exactly one second after the start does not close the interval.
    NotifyAt(7.2);
    EXPECT_EQ(Shown(), "0.400000");
    EXPECT_EQ(m_dialog->m_nFrames, 1);

    // A counter going backwards closes nothing and keeps counting.
    NotifyAt(4.0);
    NotifyAt(5.0);
    EXPECT_EQ(Shown(), "0.400000");
    EXPECT_EQ(m_dialog->m_nFrames, 3);
}

TEST_F(FrameRateMeterTest, AConnectionsEndRestartsAndTheNextFirstFrameMeasuresTheGap) {
    CreateWithCounter();
    NotifyAt(0.0);
    for (int i = 1; i <= 11; ++i) NotifyAt(0.1 * i);
    EXPECT_EQ(Shown(), "10.000000");

    // The camera thread's end sets the first-frame flag; its final notification only restarts.
    m_dialog->m_bFirstFrame = TRUE;
    NotifyAt(5.0);
    EXPECT_EQ(Shown(), "10.000000");
    EXPECT_FALSE(m_dialog->m_bFirstFrame);

    // The first frame of the next connection, 20 s later, closes that interval alone.
    NotifyAt(25.0);
    EXPECT_EQ(Shown(), "0.050000");
}

TEST_F(FrameRateMeterTest, WithoutACounterOrWithAZeroFrequencyNothingIsPublished) {
    CreateWithCounter(false, 0);
    EXPECT_FALSE(m_dialog->m_bHasPerfCounter);
    EXPECT_EQ(m_trace.Count("The system does not have a performance counter.\r\n"
                            "So Frame rate can't be displayed."),
              1);
    for (int i = 0; i < 30; ++i) NotifyAt(0.5 * i);
    EXPECT_EQ(Shown(), "0.000000");
    m_dialog->DestroyWindow();

    // A probe that succeeds with a zero frequency never divides: the count only grows.
    CreateWithCounter(true, 0);
    EXPECT_TRUE(m_dialog->m_bHasPerfCounter);
    for (int i = 0; i < 30; ++i) NotifyAt(0.5 * i);
    EXPECT_EQ(Shown(), "0.000000");
    EXPECT_EQ(m_dialog->m_nFrames, 29);
}

}  // namespace
