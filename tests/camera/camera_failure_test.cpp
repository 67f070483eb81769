// Every way a connection can fail once the camera answers wrongly: the exact diagnostics in
// order, one close of the socket, and the end sequence.
#include <mutex>

#include "camera/camera_protocol.h"
#include "camera_thread_fixture.h"
#include "platform/testing/hooks.h"

namespace {

using fakecamera::Action;
using fakecamera::Fault;
using fakecamera::Script;
using fakecamera::Stage;

constexpr size_t kPayloadSize = 5000;

struct FailureCase {
    const char* name;
    std::function<void(Script&)> script;
    Strings diagnostics;
    size_t framesBefore = 0;  // frames handed over before the failure
    bool setUpCompleted = false;
};

Script MarkedFrames() {
    Script script;
    script.payload = [](int) { return MarkedPayload(kPayloadSize, "marked frame       "); };
    return script;
}

std::vector<FailureCase> Cases() {
    return {
        {"CameraClosesAtOnce",
         [](Script& s) {
             s.fault = Fault{Stage::kHandshake, 0, 0, Action::kClose};
         },
         {kClosedGracefully, "nRead(0) is not equal to MESSAGE_PACKET_LENGTH(4)"}},
        {"HandshakeCutShort",
         [](Script& s) {
             s.handshakeReply = "012";
             s.fault = Fault{Stage::kHandshake, 0, 3, Action::kClose};
         },
         {kClosedGracefully, "nRead(3) is not equal to MESSAGE_PACKET_LENGTH(4)"}},
        {"ServerFull", [](Script& s) { s.handshakeReply = "0120"; }, {"ERROR: Server Full"}},
        {"HandshakeNotANumber",
         [](Script& s) { s.handshakeReply = "abcd"; },
         {"Error: unexpected message from camera(0)"}},
        {"HandshakeWithAnotherCode",
         [](Script& s) { s.handshakeReply = "0301"; },
         {"Error: unexpected message from camera(301)"}},
        {"AuthReplyNeverComes",
         [](Script& s) {
             s.fault = Fault{Stage::kAuthReply, 0, 0, Action::kClose};
         },
         {kClosedGracefully, "nRead(0) is not equal to MESSAGE_PACKET_LENGTH(4)"}},
        {"AuthReplyTrickledShort",
         [](Script& s) {
             s.trickle = true;
             s.fault = Fault{Stage::kAuthReply, 0, 3, Action::kClose};
         },
         {kClosedGracefully, "nRead(3) is not equal to MESSAGE_PACKET_LENGTH(4)"}},
        {"AuthReplyReset",
         [](Script& s) {
             s.fault = Fault{Stage::kAuthReply, 0, 1, Action::kReset};
         },
         {kConnectionReset, "read error2"}},
        {"AuthReplyUnexpected",
         [](Script& s) { s.authReply = "0303"; },
         {"Error: unexpected message from camera(303)"}},
        {"HeaderCutShort",
         [](Script& s) {
             s.fault = Fault{Stage::kHeader, 0, 10, Action::kClose};
         },
         {kClosedGracefully, "nRead(10) is not equal to IMAGE_DATA_HEADER_LENGTH(32)"},
         0,
         true},
        {"HeaderReset",
         [](Script& s) {
             s.fault = Fault{Stage::kHeader, 0, 10, Action::kReset};
         },
         {kConnectionReset, "Error receiving header"},
         0,
         true},
        {"HeaderCodeNotImageOk",
         [](Script& s) { s.codeText = "0131"; },
         {"message is not IMAGE_OK"},
         0,
         true},
        {"LengthTooLong",
         [](Script& s) { s.lengthText = [](int, size_t) { return std::string("00200001"); }; },
         {"ImageDataLength too long (200001)"},
         0,
         true},
        {"LengthNegative",
         [](Script& s) { s.lengthText = [](int, size_t) { return std::string("-1"); }; },
         {"nRead(0) is not equal to ImageDataLength(-1)"},
         0,
         true},
        {"PayloadCutShort",
         [](Script& s) {
             s.fault = Fault{Stage::kPayload, 0, 100, Action::kClose};
         },
         {kClosedGracefully, "nRead(100) is not equal to ImageDataLength(5000)"},
         0,
         true},
        {"PayloadCutShortInItsOwnSend",
         [](Script& s) {
             s.splitHeaderAndPayload = true;
             s.fault = Fault{Stage::kPayload, 0, 0, Action::kClose};
         },
         {kClosedGracefully, "nRead(0) is not equal to ImageDataLength(5000)"},
         0,
         true},
        {"PayloadReset",
         [](Script& s) {
             s.fault = Fault{Stage::kPayload, 0, 100, Action::kReset};
         },
         {kConnectionReset, "error reading real image data"},
         0,
         true},
        {"PayloadNotAJpeg",
         [](Script& s) {
             s.payload = [](int) {
                 std::vector<uint8_t> gif(kPayloadSize, 0);
                 const char magic[] = "GIF89a";
                 std::copy(magic, magic + 6, gif.begin());
                 return gif;
             };
         },
         {"image data spoiled"},
         0,
         true},
        {"SecondHeaderCutShort",
         [](Script& s) {
             s.fault = Fault{Stage::kHeader, 1, 31, Action::kClose};
         },
         {kClosedGracefully, "nRead(31) is not equal to IMAGE_DATA_HEADER_LENGTH(32)"},
         1,
         true},
    };
}

class CameraFailureTest : public CameraThreadTest,
                          public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CameraFailureTest, ReportsClosesOnceAndEnds) {
    const FailureCase& failure = GetParam();
    Script script = MarkedFrames();
    failure.script(script);
    StartCamera(script);
    const int32_t lengthBefore = ImageDataLength;  // no camera thread runs now

    CameraRun run(owner);
    run.onNotification = [&](const Notification& seen) {
        if (seen.connected && run.Notifications().size() <= failure.framesBefore) {
            run.RequestNextFrame();
        }
    };
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForEnd());

    EXPECT_EQ(trace.Messages(), failure.diagnostics);
    ExpectEndedOnce(run, failure.framesBefore);
    ExpectClosedOnce();
    const Strings events = owner.Events();
    const Strings setUp =
        failure.setUpCompleted ? Strings{"socket", "connected=1", "trying=0"} : Strings{"socket"};
    EXPECT_EQ(Strings(events.begin(), events.begin() + static_cast<long>(setUp.size())), setUp);
    EXPECT_EQ(events.size(), setUp.size() + 3);

    const std::string name = failure.name;
    const int32_t lengthAtEnd = run.Notifications().back().length;
    if (name == "LengthTooLong" || name == "LengthNegative") {
        EXPECT_EQ(lengthAtEnd, lengthBefore);  // a refused length is not stored
    } else if (name.rfind("Payload", 0) == 0) {
        EXPECT_EQ(lengthAtEnd, static_cast<int32_t>(kPayloadSize));  // stored before the payload
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CameraFailureTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CameraThreadTest, RefusalsOfTheLoginShowMessageBoxesInstead) {
    struct Refusal {
        const char* reply;
        const char16_t* box;
    };
    for (const Refusal refusal : {Refusal{"0302", u"Admin authentication failed"},
                                  Refusal{"9000", u"Error: Invalid message id"}}) {
        SCOPED_TRACE(refusal.reply);
        std::mutex lock;
        std::vector<std::pair<std::u16string, UINT>> boxes;
        platform_testing::SetMessageBoxAnswerer([&](const std::u16string& text, UINT type) {
            std::lock_guard<std::mutex> guard(lock);
            boxes.emplace_back(text, type);
            return IDOK;
        });
        Script script;
        script.authReply = refusal.reply;
        StartCamera(script);
        owner.BeginConnection();
        const int openBefore = platform_testing::OpenSocketCount();
        CameraRun run(owner);
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitForEnd());
        platform_testing::SetMessageBoxAnswerer({});

        EXPECT_EQ(trace.Messages(), Strings{});
        ExpectEndedOnce(run, 0);
        EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore);
        EXPECT_EQ(closesocket(owner.socket.load()), SOCKET_ERROR);
        std::lock_guard<std::mutex> guard(lock);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].first, refusal.box);
        EXPECT_EQ(boxes[0].second, MB_OK);
        camera.Stop();
    }
}

TEST_F(CameraThreadTest, ViewerBeyondTheCamerasLimitIsToldItIsFull) {
    StartCamera({});
    camera.SetMaxViewers(1);
    fakecamera::TcpConnection firstViewer = fakecamera::ConnectLoopback(camera.Port());
    ASSERT_EQ(firstViewer.ReceiveExact(4), "0121");
    CameraRun run(owner);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(trace.Messages(), Strings{"ERROR: Server Full"});
    ExpectEndedOnce(run, 0);
    ExpectClosedOnce();
}

}  // namespace
