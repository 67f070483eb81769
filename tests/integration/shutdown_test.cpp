// Closing the viewer in every state: no thread is left running, nothing blocks, and the history
// is saved. The time each close took is recorded as a test property (the benchmark judges speed).
#include <QAbstractButton>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/held_resolver.h"
#include "support/pump_events.h"
#include "support/unanswered_listener.h"

namespace {

class ShutdownTest;

// Holds the fake camera's server thread before it sends one frame, until the test opens it.
struct FrameGate {
    std::atomic<bool> reached{false};
    std::atomic<bool> open{false};
    /* On the camera's thread: notes that the frame is held and waits until the gate opens. */
    void Pass() {
        reached = true;
        for (int waited = 0; waited < 20000 && !open; ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

struct CloseCase {
    const char* name;
    bool typesAnAddress;                       // the history then holds it
    std::function<void(ShutdownTest&)> reach;  // brings the viewer into the state
};

class ShutdownTest : public ViewerTest, public ::testing::WithParamInterface<CloseCase> {
public:
    std::unique_ptr<test_support::HeldResolver> m_resolver;  // a name lookup that never returns
    std::shared_ptr<FrameGate> m_gate = std::make_shared<FrameGate>();

    void TearDown() override {
        m_gate->open = true;  // never leaves the camera's thread held when a step failed
        ViewerTest::TearDown();
    }

    /* Streams until the camera holds frame `held` at the gate (the viewer's thread then waits
       for it), then sends it without running the UI thread: returns once the camera thread waits
       in its hand-off of that frame, or of the end of the connection when `fault` cuts it. */
    void BlockInHandOff(std::optional<fakecamera::Fault> fault) {
        constexpr int kHeld = 3;
        fakecamera::Script script;
        script.fault = fault;
        script.payload = [gate = m_gate](int frame) {
            if (frame == kHeld) gate->Pass();
            return fakecamera::MakeCaptionedJpeg(160, 120, 80, fakecamera::Subsampling::k420, false,
                                                 fakecamera::FrameCounterCaption(frame));
        };
        m_camera.SetScript(script);
        ConnectToCamera();
        ASSERT_TRUE(test_support::PumpEventsUntil([&] { return m_gate->reached.load(); }));
        m_gate->open = true;
        // The UI thread does not run its events from here on, so the hand-off cannot complete.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (platform_testing::WaitingSendCount(m_viewer->m_hWnd) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(platform_testing::WaitingSendCount(m_viewer->m_hWnd), 1);
    }
};

TEST_P(ShutdownTest, ClosingEndsEveryThreadAndSavesTheHistory) {
    StartViewer();
    GetParam().reach(*this);

    CloseViewer();
    EXPECT_EQ(platform_testing::LiveThreadCount(), m_threadsBefore);

    m_resolver.reset();

    // The history was saved: a new viewer starts with it.
    EXPECT_FALSE(m_home.ReadSettingsFile().isEmpty());
    m_viewer.reset();
    StartViewer();
    EXPECT_EQ(Items(IDC_COMBO_IP).empty(), !GetParam().typesAnAddress);
}

test_support::UnansweredListener* Unanswered() {
    static test_support::UnansweredListener listener;
    return &listener;
}

// Streams five frames, lets the camera stall, then disconnects: the camera thread stays in its
// receive, waiting for a frame that never comes. Returns the script used.
fakecamera::Script DisconnectWhileWaitingForAFrame(ShutdownTest& test) {
    fakecamera::Script script;
    script.frameLimit = 5;
    test.m_camera.SetScript(script);
    test.ConnectToCamera();
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return test.m_camera.StallCount() > 0; }));
    test.PressDisconnect();
    EXPECT_TRUE(test.WaitForDisconnected());
    return script;
}

const CloseCase kCases[] = {
    {"loading", false, [](ShutdownTest&) {}},
    {"trying_unanswered_connect", true,
     [](ShutdownTest& test) {
         ASSERT_TRUE(Unanswered()->IsFull());
         test.Type(u"127.0.0.1", QString::number(Unanswered()->Port()).toStdU16String());
         test.PressConnect();
         test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(200));
         EXPECT_TRUE(test.m_viewer->m_bTrying);
     }},
    {"trying_name_lookup_never_returns", true,
     [](ShutdownTest& test) {
         test.m_resolver = std::make_unique<test_support::HeldResolver>();
         test.Type(u"camera.example", u"80");
         test.PressConnect();
         // The camera thread's data exchange runs on this thread: pump while waiting.
         ASSERT_TRUE(test_support::PumpEventsUntil([&] { return test.m_resolver->Asked(); }));
     }},
    {"trying_socket_made_name_not_yet_looked_up", true,
     [](ShutdownTest& test) {
         test.m_resolver = std::make_unique<test_support::HeldResolver>();
         test.Type(u"camera.example", u"80");
         test.PressConnect();
         // Unpumped, the camera thread waits in its data exchange with this thread: its socket is
         // made, its lookup not begun. Closing the viewer releases it into that lookup.
         const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         while (platform_testing::WaitingSendCount(test.m_viewer->m_hWnd) == 0 &&
                std::chrono::steady_clock::now() < deadline) {
             std::this_thread::sleep_for(std::chrono::milliseconds(1));
         }
         ASSERT_EQ(platform_testing::WaitingSendCount(test.m_viewer->m_hWnd), 1);
         EXPECT_NE(test.m_viewer->m_socket.load(), 0u);
     }},
    {"streaming", true,
     [](ShutdownTest& test) {
         test.ConnectToCamera();
         ASSERT_TRUE(test.WaitForFrames(10));
     }},
    {"camera_thread_message_box_open", true,
     [](ShutdownTest& test) {
         fakecamera::Script script;
         script.authReply = "0302";
         test.m_camera.SetScript(script);
         test.ConnectToCamera();
         ASSERT_NE(test.WaitForMessageBox(QStringLiteral("Admin authentication failed")), nullptr);
     }},
    {"after_an_error", true,
     [](ShutdownTest& test) {
         fakecamera::Script script;
         script.handshakeReply = "0120";
         test.m_camera.SetScript(script);
         test.ConnectToCamera();
         ASSERT_TRUE(test.WaitForDisconnected());
     }},
    {"disconnected_thread_waiting_for_a_frame", true,
     [](ShutdownTest& test) { DisconnectWhileWaitingForAFrame(test); }},
    {"camera_thread_waiting_in_a_frame_hand_off", true,
     [](ShutdownTest& test) { test.BlockInHandOff(std::nullopt); }},
    {"camera_thread_waiting_in_the_last_hand_off", true,
     [](ShutdownTest& test) {
         // The camera closes instead of sending the held frame's header: the connection ends.
         test.BlockInHandOff(
             fakecamera::Fault{fakecamera::Stage::kHeader, 3, 0, fakecamera::Action::kClose});
         EXPECT_FALSE(test.m_viewer->m_bConnected);
     }},
    {"reconnected_while_the_earlier_thread_waits_for_a_frame", true,
     [](ShutdownTest& test) {
         DisconnectWhileWaitingForAFrame(test);
         test.PressConnect();  // closed at once, whatever the earlier thread has reached
     }},
    {"reconnected_to_a_stalled_set_up_while_the_earlier_thread_waits", true,
     [](ShutdownTest& test) {
         fakecamera::Script script = DisconnectWhileWaitingForAFrame(test);
         script.fault =
             fakecamera::Fault{fakecamera::Stage::kHandshake, 0, 2, fakecamera::Action::kStall};
         test.m_camera.SetScript(script);
         test.PressConnect();
         ASSERT_TRUE(test_support::PumpEventsUntil([&] { return test.m_camera.StallCount() > 1; }));
         EXPECT_TRUE(test.m_viewer->m_bTrying);
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryState, ShutdownTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CloseCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
