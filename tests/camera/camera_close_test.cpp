// Closing the connection's socket from another thread, as the dialog does when it closes or
// when a request fails: the blocked step fails, the thread's own close meets a closed socket,
// and the end sequence follows. A name lookup that never returns is abandoned the same way, and
// one the thread has not begun when its socket is closed never starts.
#include <future>
#include <optional>

#include "camera_fixture.h"
#include "platform/testing/hooks.h"
#include "support/blocking_probe.h"
#include "support/held_resolver.h"
#include "support/pump_events.h"
#include "support/unanswered_listener.h"

namespace {

using fakecamera::Action;
using fakecamera::Fault;
using fakecamera::Stage;

enum class BlockedIn { kConnect, kBeforeLookup, kLookup, kHandshake, kPayload };

struct CloseCase {
    const char* name;
    BlockedIn where;
    bool resetByCamera;  // the camera resets the stalled connection instead of a close here
    Strings diagnostics;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class CameraCloseTest : public CameraThreadTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CameraCloseTest, BlockedStepFailsAndTheThreadEndsOnce) {
    const CloseCase& c = GetParam();
    std::optional<test_support::UnansweredListener> listener;
    std::optional<test_support::HeldResolver> resolver;
    std::promise<void> portRead, closed;
    if (c.where == BlockedIn::kBeforeLookup) {
        // The thread holds between making its socket and its lookup until the socket is closed.
        owner.onPortRead = [&] {
            portRead.set_value();
            closed.get_future().wait();
        };
    }
    if (c.where == BlockedIn::kConnect) {
        listener.emplace();
        ASSERT_TRUE(listener->IsFull());
        owner.port = listener->Port();
    } else if (c.where == BlockedIn::kLookup || c.where == BlockedIn::kBeforeLookup) {
        resolver.emplace();
        owner.host = u"never.example";
        owner.port = 80;  // never dialled: the lookup does not return
    } else {
        const bool payload = c.where == BlockedIn::kPayload;  // "01" of the handshake, or 100 bytes
        StartCamera({.payload = [](int) { return MarkedPayload(5000, "stalled frame"); },
                     .fault = Fault{payload ? Stage::kPayload : Stage::kHandshake, 0,
                                    payload ? 100u : 2u, Action::kStall}});
    }
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return owner.cameraThreadId.load() != 0; }));
    const int thread = owner.cameraThreadId.load();
    if (c.where == BlockedIn::kBeforeLookup) {
        portRead.get_future().wait();
    } else if (resolver) {
        ASSERT_TRUE(resolver->WaitAsked());
        EXPECT_EQ(resolver->LastName(), "never.example");
    } else if (listener) {
        ASSERT_TRUE(test_support::WaitUntilInPoll(thread));
    } else {
        ASSERT_TRUE(test_support::PumpEventsUntil([&] { return camera.StallCount() == 1; }));
        ASSERT_TRUE(
            test_support::WaitUntilDrainedAndInPoll(thread, camera.LastPeerPort(), camera.Port()));
    }
    if (c.resetByCamera) {
        camera.ResetStalledConnections();
    } else {
        EXPECT_EQ(closesocket(owner.socket.load()), 0);
    }
    if (c.where == BlockedIn::kBeforeLookup) closed.set_value();
    ASSERT_TRUE(run.WaitForEnd());
    if (c.where == BlockedIn::kBeforeLookup) {
        EXPECT_FALSE(resolver->Asked()) << "the lookup started on a closed socket";
    }

    EXPECT_EQ(trace.Messages(), c.diagnostics);
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
    if (c.resetByCamera) ExpectClosedOnce();
    if (c.where == BlockedIn::kPayload) {
        EXPECT_EQ(run.Notifications().back().length, 5000);  // stored before the payload
    }
}

const char kInterrupted[] = "nRead is SOCKET_ERROR in recvn : 10004";

// clang-format off
const CloseCase kCases[] = {
    {"Connect", BlockedIn::kConnect, false, {"connect error : 10004", "closesocket failed"}},
    {"BeforeLookup", BlockedIn::kBeforeLookup, false, {"unknown server name = never.example", "closesocket failed"}},
    {"Lookup", BlockedIn::kLookup, false, {"unknown server name = never.example", "closesocket failed"}},
    {"Handshake", BlockedIn::kHandshake, false, {kInterrupted, "read error1", "closesocket failed"}},
    {"HandshakeResetByCamera", BlockedIn::kHandshake, true, {kConnectionReset, "read error1"}},
    {"Payload", BlockedIn::kPayload, false, {kInterrupted, "error reading real image data", "closesocket failed"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(EveryBlockingStep, CameraCloseTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraThreadTest, ASocketTheOwnerRefusesIsClosedAndNothingIsTried) {
    StartCamera({});
    owner.refuseSocket = true;
    CameraRun run(owner);
    ASSERT_TRUE(run.Run());
    ExpectEndedOnce(run, 0);
    EXPECT_EQ(trace.Messages(), Strings{});
    EXPECT_EQ(camera.ConnectionCount(), 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
}

}  // namespace
