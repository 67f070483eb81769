// Closing the connection's socket from another thread, as the dialog does when it closes or
// when a request fails: the blocked step fails, the thread's own close meets a closed socket,
// and the end sequence follows. A name lookup that never returns is abandoned the same way.
#include "camera_thread_fixture.h"
#include "platform/testing/hooks.h"
#include "support/blocking_probe.h"
#include "support/held_resolver.h"
#include "support/pump_events.h"
#include "support/unanswered_listener.h"

namespace {

using fakecamera::Action;
using fakecamera::Fault;
using fakecamera::Stage;

class CameraCloseTest : public CameraThreadTest {
protected:
    // The kernel id of the running camera thread, once it has taken its ticket.
    int CameraThread() {
        EXPECT_TRUE(
            test_support::PumpEventsUntil([&] { return owner.cameraThreadId.load() != 0; }));
        return owner.cameraThreadId.load();
    }

    // Closes the socket the thread registered, as the dialog would, and waits for the end.
    void CloseAndWait(CameraRun& run) {
        EXPECT_EQ(closesocket(owner.socket.load()), 0);
        ASSERT_TRUE(run.WaitForEnd());
    }
};

TEST_F(CameraCloseTest, ASocketTheOwnerRefusesIsClosedAndNothingIsTried) {
    StartCamera(fakecamera::Script{});
    owner.refuseSocket = true;
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForEnd());
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(trace.Messages(), Strings{});
    EXPECT_EQ(camera.ConnectionCount(), 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
}

TEST_F(CameraCloseTest, CloseDuringAConnectThatNeverCompletes) {
    test_support::UnansweredListener listener;
    ASSERT_TRUE(listener.IsFull());
    owner.port = listener.Port();
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(test_support::WaitUntilInPoll(CameraThread()));
    CloseAndWait(run);
    EXPECT_EQ(trace.Messages(), (Strings{"connect error : 10004", "closesocket failed"}));
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
}

TEST_F(CameraCloseTest, CloseDuringTheHandshake) {
    fakecamera::Script script;
    script.fault = Fault{Stage::kHandshake, 0, 2, Action::kStall};  // "01", then silence
    StartCamera(script);
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    const int thread = CameraThread();
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return camera.StallCount() == 1; }));
    ASSERT_TRUE(
        test_support::WaitUntilDrainedAndInPoll(thread, camera.LastPeerPort(), camera.Port()));
    CloseAndWait(run);
    EXPECT_EQ(trace.Messages(), (Strings{"nRead is SOCKET_ERROR in recvn : 10004", "read error1",
                                         "closesocket failed"}));
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
}

TEST_F(CameraCloseTest, ResetDuringTheHandshake) {
    fakecamera::Script script;
    script.fault = Fault{Stage::kHandshake, 0, 2, Action::kStall};
    StartCamera(script);
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    const int thread = CameraThread();
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return camera.StallCount() == 1; }));
    ASSERT_TRUE(
        test_support::WaitUntilDrainedAndInPoll(thread, camera.LastPeerPort(), camera.Port()));
    camera.ResetStalledConnections();
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(trace.Messages(), (Strings{kConnectionReset, "read error1"}));
    ExpectEndedOnce(run, 0);
    ExpectClosedOnce();
}

TEST_F(CameraCloseTest, CloseDuringThePayload) {
    fakecamera::Script script;
    script.payload = [](int) { return MarkedPayload(5000, "stalled frame      "); };
    script.fault = Fault{Stage::kPayload, 0, 100, Action::kStall};
    StartCamera(script);
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    const int thread = CameraThread();
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return camera.StallCount() == 1; }));
    ASSERT_TRUE(
        test_support::WaitUntilDrainedAndInPoll(thread, camera.LastPeerPort(), camera.Port()));
    CloseAndWait(run);
    EXPECT_EQ(trace.Messages(), (Strings{"nRead is SOCKET_ERROR in recvn : 10004",
                                         "error reading real image data", "closesocket failed"}));
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(run.Notifications().back().length, 5000);  // stored before the payload
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
}

TEST_F(CameraCloseTest, CloseAbandonsANameLookupThatNeverReturns) {
    test_support::HeldResolver resolver;
    owner.host = u"never.example";
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(resolver.WaitAsked());
    EXPECT_EQ(resolver.LastName(), "never.example");
    CloseAndWait(run);
    EXPECT_EQ(trace.Messages(),
              (Strings{"unknown server name = never.example", "closesocket failed"}));
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
}

}  // namespace
