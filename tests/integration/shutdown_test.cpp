// Closing the viewer in every state: no thread is left running, nothing blocks, and the history
// is saved. The time each close took is recorded as a test property (the benchmark judges speed).
#include <QAbstractButton>
#include <functional>

#include "integration/viewer_fixture.h"
#include "platform/testing/hooks.h"
#include "support/held_resolver.h"
#include "support/pump_events.h"
#include "support/unanswered_listener.h"

namespace {

class ShutdownTest;

struct CloseCase {
    const char* name;
    bool typesAnAddress;                      // the history then holds it
    std::function<void(ShutdownTest&)> reach;  // brings the viewer into the state
};

class ShutdownTest : public ViewerTest, public ::testing::WithParamInterface<CloseCase> {
public:
    std::unique_ptr<test_support::HeldResolver> m_resolver;  // a name lookup that never returns

    using ViewerTest::ConnectToCamera;
    using ViewerTest::PressConnect;
    using ViewerTest::PressDisconnect;
    using ViewerTest::Type;
    using ViewerTest::WaitForDisconnected;
    using ViewerTest::WaitForFrames;
    using ViewerTest::WaitForMessageBox;
    using ViewerTest::m_camera;
    using ViewerTest::m_viewer;
};

TEST_P(ShutdownTest, ClosingEndsEveryThreadAndSavesTheHistory) {
    StartViewer();
    GetParam().reach(*this);

    const double ms = CloseViewer();
    RecordProperty("close_ms", std::to_string(ms));
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
     [](ShutdownTest& test) {
         fakecamera::Script script;
         script.frameLimit = 5;  // then the camera stalls: the thread waits in its receive
         test.m_camera.SetScript(script);
         test.ConnectToCamera();
         ASSERT_TRUE(test_support::PumpEventsUntil([&] { return test.m_camera.StallCount() > 0; }));
         test.PressDisconnect();
         ASSERT_TRUE(test.WaitForDisconnected());
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryState, ShutdownTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CloseCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
