// The camera thread's own roads: a stream driven by requests from the window until the user
// stops, a start that tries nothing, and a later connection taking over.
#include "camera_fixture.h"

namespace {

TEST_F(CameraThreadTest, StreamsFramesInOrderUntilTheUserStops) {
    owner.id = u"ABCDEFGHIJKLMNOPQRST";  // cut to its 16-byte field
    owner.password = u"p\u00e4ss";       // 8-bit text in a zero-filled field
    // The largest frame, one of no bytes (the buffer keeps the frame before), then a small one;
    // each payload comes apart from its header and the largest in many pieces.
    StartCamera({.payload =
                     [](int frame) {
                         if (frame == 1) return std::vector<uint8_t>{};
                         return frame == 0 ? MarkedPayload(MAX_IMAGE_DATA_LENGTH, "largest frame")
                                           : MarkedPayload(5000, "small frame");
                     },
                 .splitHeaderAndPayload = true});
    CameraRun run(owner);
    run.onNotification = [&] {
        // The user stops as the last frame is shown: the thread ends without another step.
        if (run.Notifications().size() < 3) {
            EXPECT_TRUE(run.RequestNextFrame());
        }
        if (run.Notifications().size() == 3) owner.running = FALSE;
    };
    ASSERT_TRUE(run.Run());

    ExpectEndedOnce(run, 3);
    // The end's notification sees the last frame still in the buffer.
    EXPECT_EQ((std::vector<Notification>{{MAX_IMAGE_DATA_LENGTH, "largest frame      "},
                                         {0, "largest frame      "},
                                         {5000, "small frame        "},
                                         {5000, "small frame        "}}),
              run.Notifications());
    EXPECT_EQ(3, camera.RequestCount());
    EXPECT_EQ(Strings{}, trace.Messages());
    EXPECT_EQ((Strings{"socket", "connected=1", "trying=0", "shown", "shown", "shown",
                       "connected=0", "trying=0", "firstFrame=1", "shown"}),
              owner.Events());
    const std::string zeros(12, '\0');
    EXPECT_EQ(Strings{"0300" + zeros + "ABCDEFGHIJKLMNOP" + "p\xE4ss" + zeros},
              camera.AuthPackets());
    // The stop leaves the socket open for its owner to close; a request after that fails.
    EXPECT_EQ(openSocketsBefore + 1, platform_testing::OpenSocketCount());
    EXPECT_EQ(0, closesocket(owner.socket.load()));
    EXPECT_FALSE(run.RequestNextFrame());
    EXPECT_EQ(Strings{"write error"}, trace.Messages());
}

TEST_F(CameraThreadTest, StoppedBeforeTheStartOrRefusedItsSocketItTriesNothing) {
    StartCamera({});
    for (const bool stopped : {true, false}) {
        owner.running = stopped ? FALSE : TRUE;
        owner.refuseSocket = !stopped;
        CameraRun run(owner);
        ASSERT_TRUE(run.Run());
        ExpectEndedOnce(run, 0);
    }
    EXPECT_EQ((Strings{"connected=0", "trying=0", "firstFrame=1", "shown", "socket refused",
                       "connected=0", "trying=0", "firstFrame=1", "shown"}),
              owner.Events());
    EXPECT_EQ(0, camera.ConnectionCount());
    EXPECT_EQ(openSocketsBefore, platform_testing::OpenSocketCount());
}

TEST_F(CameraThreadTest, LaterConnectionWaitsAndTheEarlierOneFallsSilent) {
    StartCamera({});
    CameraRun first(owner);  // no further requests: it waits for the next header
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return first.Notifications().size() == 1; }));
    const SOCKET firstSocket = owner.socket.load();
    const int firstThread = owner.cameraThreadId.load();

    // A new Connect: a new ticket, then the earlier socket is closed.
    owner.BeginConnection();
    CameraRun second(owner);
    second.onNotification = [&] { owner.running = FALSE; };
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(test_support::WaitUntilInPoll(firstThread));
    EXPECT_EQ(0, closesocket(firstSocket));
    ASSERT_TRUE(first.WaitForEnd());
    ASSERT_TRUE(second.WaitForEnd());

    EXPECT_EQ(1u, first.Notifications().size());  // nothing after it was superseded
    ExpectEndedOnce(second, 1);
    EXPECT_EQ((Strings{"socket", "connected=1", "trying=0", "shown",                 // the first
                       "stale:connected=0", "stale:trying=0", "stale:firstFrame=1",  // superseded
                       "socket", "connected=1", "trying=0", "shown",                 // the second
                       "connected=0", "trying=0", "firstFrame=1", "shown"}),
              owner.Events());
    EXPECT_EQ((Strings{"nRead is SOCKET_ERROR in recvn : 10004", "Error receiving header",
                       "closesocket failed"}),
              trace.Messages());
    EXPECT_EQ(0, closesocket(owner.socket.load()));
}

}  // namespace
