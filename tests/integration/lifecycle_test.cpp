// The states and faults that only a whole viewer shows: each row brings the viewer into its state
// and closes it there. Every row then finds every thread ended at once, no platform object left,
// and the history saved for the next run.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "imaging/jpeg_image.h"
#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/pump_events.h"

// Scripts name only the fields that differ from a well-behaved camera's.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Texts = std::vector<std::string>;
using fakecamera::Fault;
using enum fakecamera::Stage;
using enum fakecamera::Action;

constexpr char kSaysInterrupted[] = "nRead is SOCKET_ERROR in recvn : 10004";  // closed under it
constexpr char kSaysNoSocket[] = "nRead is SOCKET_ERROR in recvn : 10038";     // closed before it
constexpr char kCloseFailed[] = "closesocket failed";

std::array<int, 5> LiveObjects() {
    return {platform_testing::OpenSocketCount(), platform_testing::LiveThreadCount(),
            platform_testing::LiveBitmapCount(), platform_testing::LiveWindowCount(),
            platform_testing::LiveDeviceContextCount()};
}

class LifecycleTest;
struct Row {
    const char* name;
    void (*reach)(LifecycleTest&);  // brings the viewer into the state
    bool typesAnAddress = true;     // the history then holds it
};
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class LifecycleTest : public ViewerTest, public ::testing::WithParamInterface<Row> {
public:
    // 0: the camera serves; 1: it holds frame 3 until the test sets 2 (or the row ends).
    std::shared_ptr<std::atomic<int>> m_gate = std::make_shared<std::atomic<int>>(0);
    Texts m_traces;  // what the row's camera threads must have reported by the end

    void TearDown() override {
        *m_gate = 2;  // never leaves the camera's thread held when a step failed
        ViewerTest::TearDown();
    }

    bool CameraStalls(int n = 1) {
        return test_support::PumpEventsUntil([&] { return m_camera.StallCount() >= n; });
    }
};

const Row kRows[] = {
    {"loading", [](LifecycleTest&) {}, false},
    // One step failure as the road of its whole family (reported, Disconnected), then a refusal
    // (shown in a box the camera thread waits on, not reported); the viewer is usable again.
    {"server_full_then_refusal_box_answered",
     [](LifecycleTest& t) {
         t.m_camera.SetScript({.handshakeReply = "0120"});
         t.ConnectToCamera();
         ASSERT_TRUE(t.WaitForDisconnected());
         t.m_camera.SetScript({.authReply = "0302"});
         t.PressConnect();
         QMessageBox* box = nullptr;
         ASSERT_TRUE(test_support::PumpEventsUntil([&] {
             for (QWidget* widget : QApplication::topLevelWidgets()) {
                 auto* shown = qobject_cast<QMessageBox*>(widget);
                 if (shown && shown->isVisible() && shown->text() == "Admin authentication failed")
                     box = shown;
             }
             return box != nullptr;
         }));
         EXPECT_TRUE(t.m_viewer->m_bTrying) << "the camera thread waits for the box";
         box->button(QMessageBox::Ok)->click();
         ASSERT_TRUE(t.WaitForDisconnected());
         EXPECT_EQ(t.m_trace.Messages(), Texts{"ERROR: Server Full"});
         t.m_camera.SetScript({});
         t.ConnectToCamera();
         ASSERT_TRUE(t.WaitForFrames(3));
         EXPECT_TRUE(t.IsStreaming());
     }},
    {"handshake_stall_connect_ignored",
     [](LifecycleTest& t) {
         t.m_camera.SetScript({.fault = Fault{kHandshake, 0, 2, kStall}});
         t.ConnectToCamera();
         ASSERT_TRUE(t.CameraStalls());
         t.ClickConnectButton();  // ignored while trying
         EXPECT_TRUE(t.m_viewer->m_bTrying);
         t.m_traces = {"read error1", kCloseFailed, kSaysInterrupted};
     }},
    // A Disconnect leaves the thread stalled in a payload waiting; the next Connect closes its
    // socket and meets a camera that stalls in the set-up: two stalled threads at the close.
    {"reconnected_to_a_stalled_set_up_while_the_earlier_thread_waits",
     [](LifecycleTest& t) {
         t.m_camera.SetScript({.fault = Fault{kPayload, 1, 100, kStall}});
         t.ConnectToCamera();
         ASSERT_TRUE(t.CameraStalls());
         EXPECT_TRUE(t.IsStreaming());
         t.ClickConnectButton();
         ASSERT_TRUE(t.WaitForDisconnected());
         EXPECT_EQ(t.m_trace.Messages(), Texts{}) << "the thread still waits in its receive";
         t.m_camera.SetScript({.fault = Fault{kHandshake, 0, 2, kStall}});
         t.PressConnect();
         ASSERT_TRUE(t.CameraStalls(2));
         EXPECT_TRUE(t.m_viewer->m_bTrying);
         t.m_traces = {kSaysInterrupted, "error reading real image data", kCloseFailed};
     }},
    // Frame 3 is sent while the UI thread runs no events: a camera thread waits in its hand-off.
    {"hand_off_of_a_frame",
     [](LifecycleTest& t) {
         t.m_camera.SetScript({.payload = [gate = t.m_gate](int frame) {
             for (int i = 0; frame == 3 && *gate < 2 && i < 20000; ++i) {
                 *gate = 1;
                 std::this_thread::sleep_for(std::chrono::milliseconds(1));
             }
             return fakecamera::MakeCaptionedJpeg(160, 120, 80, fakecamera::Subsampling::k420,
                                                  false, fakecamera::FrameCounterCaption(frame));
         }});
         t.ConnectToCamera();
         ASSERT_TRUE(test_support::PumpEventsUntil([&] { return *t.m_gate == 1; }));
         *t.m_gate = 2;
         const HWND window = t.m_viewer->m_hWnd;
         WaitOffTheUiThread([&] { return platform_testing::WaitingSendCount(window) > 0; });
         ASSERT_EQ(platform_testing::WaitingSendCount(window), 1);
     }},
};

TEST_P(LifecycleTest, ClosingEndsEveryThreadLeaksNothingAndSavesTheHistory) {
    const bool memoryDcBefore = g_hMemDC != nullptr;
    std::array<int, 5> expected = LiveObjects();
    StartViewer();
    GetParam().reach(*this);
    if (HasFatalFailure()) return;

    CloseViewer();
    EXPECT_EQ(platform_testing::LiveThreadCount(), expected[1]);
    m_viewer.reset();
    // A close that finds the thread between two receives of a reply: the next meets no socket.
    if (m_trace.Count(kSaysInterrupted) == 0 && m_trace.Count(kSaysNoSocket) > 0) {
        std::ranges::replace(m_traces, std::string(kSaysInterrupted), std::string(kSaysNoSocket));
    }
    // A retired thread reports once its receive has been woken, which may follow the wait.
    test_support::PumpEventsUntil([&] {
        return std::ranges::all_of(m_traces,
                                   [&](const std::string& t) { return m_trace.Count(t); });
    });
    for (const std::string& text : m_traces)
        EXPECT_GE(m_trace.Count(text), 1)
            << text << " among " << testing::PrintToString(m_trace.Messages());
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(20));
    // The memory device context made at the process's first decode lives on, by design.
    if (!memoryDcBefore && g_hMemDC != nullptr) ++expected[4];
    EXPECT_EQ(LiveObjects(), expected) << "sockets, threads, bitmaps, windows, device contexts";

    StartViewer();  // the history was saved: a new viewer starts with it
    EXPECT_EQ(Items(IDC_COMBO_IP).size(), GetParam().typesAnAddress ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryState, LifecycleTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
