// The camera thread's good path: a full stream driven by requests from the window, the user's
// stop, a stop before the start, frames at the size limits, and a later connection taking over.
#include "camera/camera_protocol.h"
#include "camera_fixture.h"
#include "platform/testing/hooks.h"
#include "support/blocking_probe.h"

namespace {

TEST_F(CameraThreadTest, StreamsFramesInOrderUntilTheUserStops) {
    owner.id = u"operator";
    owner.password = u"p\u00e4ss";
    for (const auto& [split, trickle] :
         {std::pair{false, false}, std::pair{true, false}, std::pair{true, true}}) {
        SCOPED_TRACE(testing::Message() << "split " << split << " trickle " << trickle);
        StartCamera({.generated = {.width = 64, .height = 48},
                     .splitHeaderAndPayload = split,
                     .trickle = trickle});
        owner.BeginConnection();
        owner.connected = owner.trying = owner.running = TRUE;
        owner.firstFrame = FALSE;
        const int openBefore = platform_testing::OpenSocketCount();
        const int requestsBefore = camera.RequestCount();

        constexpr size_t kFrames = 5;
        CameraRun run(owner);
        run.onNotification = [&](const Notification&) {
            if (run.Notifications().size() < kFrames) {
                EXPECT_TRUE(run.RequestNextFrame());
            }
        };
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitForNotifications(kFrames));
        // The user stops while the thread waits for the next header; a request already in
        // flight is still answered, and the thread leaves after handing that frame over.
        ASSERT_TRUE(test_support::WaitUntilInPoll(owner.cameraThreadId.load()));
        owner.running = FALSE;
        EXPECT_TRUE(run.RequestNextFrame());
        ASSERT_TRUE(run.WaitForEnd());

        ExpectEndedOnce(run, kFrames + 1);
        for (size_t i = 0; i <= kFrames; ++i) {
            const Notification& frame = run.Notifications()[i];
            EXPECT_EQ(frame.caption, fakecamera::FrameCounterCaption(static_cast<int>(i)));
            EXPECT_EQ(std::make_tuple(frame.start[0], frame.start[1]), std::make_tuple(0xFF, 0xD8));
            EXPECT_GT(frame.length, 100);
            EXPECT_EQ(std::make_tuple(frame.connected, frame.trying, frame.firstFrame),
                      std::make_tuple(TRUE, FALSE, FALSE));
        }
        EXPECT_EQ(camera.RequestCount() - requestsBefore, static_cast<int>(kFrames + 1));
        EXPECT_EQ(trace.Messages(), Strings{});
        const Strings events = owner.Events();
        EXPECT_EQ(Strings(events.end() - 6, events.end()),
                  (Strings{"socket", "connected=1", "trying=0", "connected=0", "trying=0",
                           "firstFrame=1"}));
        // The stop leaves the socket open for its owner to close.
        EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore + 1);
        EXPECT_EQ(closesocket(owner.socket.load()), 0);
        camera.Stop();
    }
    // One authentication packet per connection, with the owner's texts.
    char expected[IMG_XFER_USER_AUTH_PKT_LEN];
    BuildAuthPacket(expected, owner.id, owner.password);
    EXPECT_EQ(std::string(expected + 32, 5), std::string("p\xE4ss\0", 5));
    EXPECT_EQ(camera.AuthPackets(), Strings(3, std::string(expected, sizeof expected)));
}

TEST_F(CameraThreadTest, StopRequestedBeforeTheStartEndsAtOnce) {
    owner.running = FALSE;
    CameraRun run(owner);
    ASSERT_TRUE(run.Run());
    ExpectEndedOnce(run, 0);
    // No socket was handed over: the record holds the end sequence alone.
    EXPECT_EQ(owner.Events(), (Strings{"connected=0", "trying=0", "firstFrame=1"}));
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
    EXPECT_EQ(trace.Messages(), Strings{});
}

TEST_F(CameraThreadTest, LargestAndZeroLengthFramesAreHandedOn) {
    StartCamera({.payload =
                     [](int frame) {
                         return frame == 0 ? MarkedPayload(MAX_IMAGE_DATA_LENGTH, "largest frame")
                                           : std::vector<uint8_t>{};
                     },
                 .fault = fakecamera::Fault{fakecamera::Stage::kHeader, 2, 0}});
    CameraRun run(owner);
    run.onNotification = [&](const Notification&) {
        if (run.Notifications().size() < 3) run.RequestNextFrame();
    };
    ASSERT_TRUE(run.Run());
    ExpectEndedOnce(run, 2);
    EXPECT_EQ(run.Notifications()[0].length, MAX_IMAGE_DATA_LENGTH);
    EXPECT_EQ(run.Notifications()[1].length, 0);  // the buffer still holds the frame before
    EXPECT_EQ(run.Notifications()[1].caption, "largest frame      ");
    EXPECT_EQ(trace.Messages(), (Strings{kClosedGracefully,
                                         "nRead(0) is not equal to IMAGE_DATA_HEADER_LENGTH(32)"}));
    ExpectClosedOnce();
}

TEST_F(CameraThreadTest, LaterConnectionWaitsAndTheEarlierOneFallsSilent) {
    StartCamera({});
    CameraRun first(owner);  // no further requests: it waits for the next header
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.WaitForNotifications(1));
    const SOCKET firstSocket = owner.socket.load();
    const int firstThread = owner.cameraThreadId.load();

    // A new Connect: a new ticket, then the earlier socket is closed.
    owner.BeginConnection();
    owner.connected = owner.trying = TRUE;
    CameraRun second(owner);
    second.onNotification = [&](const Notification&) { owner.running = FALSE; };
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(test_support::WaitUntilInPoll(firstThread));
    EXPECT_EQ(closesocket(firstSocket), 0);
    ASSERT_TRUE(first.WaitForEnd());
    ASSERT_TRUE(second.WaitForEnd());

    EXPECT_EQ(first.Notifications().size(), 1u);  // nothing after it was superseded
    ExpectEndedOnce(second, 1);
    EXPECT_EQ(owner.Events(),
              (Strings{"socket", "connected=1", "trying=0",                          // the first
                       "stale:connected=0", "stale:trying=0", "stale:firstFrame=1",  // superseded
                       "socket", "connected=1", "trying=0",                          // the second
                       "connected=0", "trying=0", "firstFrame=1"}));
    EXPECT_EQ(trace.Messages(), (Strings{"nRead is SOCKET_ERROR in recvn : 10004",
                                         "Error receiving header", "closesocket failed"}));
    EXPECT_EQ(closesocket(owner.socket.load()), 0);
}

}  // namespace
