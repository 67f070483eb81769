// Every way a connection can fail once the camera answers wrongly: the exact diagnostics in
// order, one close of the socket, and the end sequence.
#include <mutex>

#include "camera/camera_protocol.h"
#include "camera_fixture.h"
#include "platform/testing/hooks.h"

namespace {

using fakecamera::Action;
using fakecamera::Fault;
using fakecamera::Script;
using fakecamera::Stage;

constexpr int32_t kPayloadSize = 5000;

// Where the failure strikes: during the login, in the first frame, or in the second.
enum Phase { kLogin, kFirstFrame, kSecondFrame };

struct FailureCase {
    const char* name;
    Phase phase;
    Script script;
    Strings diagnostics;
    std::u16string box;  // a refusal shown in a message box instead of any diagnostic
};

Fault Cut(Stage stage, size_t afterBytes, int frame = 0) {
    return Fault{stage, frame, afterBytes, Action::kClose};
}

Fault Reset(Stage stage, size_t afterBytes) {
    return Fault{stage, 0, afterBytes, Action::kReset};
}

std::function<std::string(int, size_t)> LengthText(std::string text) {
    return [text](int, size_t) { return text; };
}

std::vector<uint8_t> NotAJpeg(int) {
    std::vector<uint8_t> gif(kPayloadSize, 0);
    const std::string magic = "GIF89a";
    std::copy(magic.begin(), magic.end(), gif.begin());
    return gif;
}

// A payload whose start marker has the two bytes given: each byte is checked on its own.
std::function<std::vector<uint8_t>(int)> Starting(uint8_t first, uint8_t second) {
    return [=](int) {
        std::vector<uint8_t> payload = MarkedPayload(kPayloadSize, "spoiled frame");
        payload[0] = first;
        payload[1] = second;
        return payload;
    };
}

const std::string kShortMessage = " is not equal to MESSAGE_PACKET_LENGTH(4)";
const std::string kShortHeader = " is not equal to IMAGE_DATA_HEADER_LENGTH(32)";
const std::string kShortPayload = " is not equal to ImageDataLength(5000)";
const std::string kUnexpected = "Error: unexpected message from camera";

// clang-format off
const FailureCase kCases[] = {
    {"CameraClosesAtOnce", kLogin, {.fault = Cut(Stage::kHandshake, 0)}, {kClosedGracefully, "nRead(0)" + kShortMessage}},
    {"HandshakeCutShort", kLogin, {.handshakeReply = "012", .fault = Cut(Stage::kHandshake, 3)}, {kClosedGracefully, "nRead(3)" + kShortMessage}},
    {"ServerFull", kLogin, {.handshakeReply = "0120"}, {"ERROR: Server Full"}},
    {"HandshakeNotANumber", kLogin, {.handshakeReply = "abcd"}, {kUnexpected + "(0)"}},
    {"HandshakeWithAnotherCode", kLogin, {.handshakeReply = "0301"}, {kUnexpected + "(301)"}},
    {"AuthReplyNeverComes", kLogin, {.fault = Cut(Stage::kAuthReply, 0)}, {kClosedGracefully, "nRead(0)" + kShortMessage}},
    {"AuthReplyTrickledShort", kLogin, {.trickle = true, .fault = Cut(Stage::kAuthReply, 3)}, {kClosedGracefully, "nRead(3)" + kShortMessage}},
    {"AuthReplyReset", kLogin, {.fault = Reset(Stage::kAuthReply, 1)}, {kConnectionReset, "read error2"}},
    {"AuthReplyUnexpected", kLogin, {.authReply = "0303"}, {kUnexpected + "(303)"}},
    {"AuthRefused", kLogin, {.authReply = "0302"}, {}, u"Admin authentication failed"},
    {"AuthInvalidMessageId", kLogin, {.authReply = "9000"}, {}, u"Error: Invalid message id"},
    {"HeaderCutShort", kFirstFrame, {.fault = Cut(Stage::kHeader, 10)}, {kClosedGracefully, "nRead(10)" + kShortHeader}},
    {"HeaderReset", kFirstFrame, {.fault = Reset(Stage::kHeader, 10)}, {kConnectionReset, "Error receiving header"}},
    {"HeaderCodeNotImageOk", kFirstFrame, {.codeText = "0131"}, {"message is not IMAGE_OK"}},
    {"LengthTooLong", kFirstFrame, {.lengthText = LengthText("00200001")}, {"ImageDataLength too long (200001)"}},
    {"LengthNegative", kFirstFrame, {.lengthText = LengthText("-1")}, {"nRead(0) is not equal to ImageDataLength(-1)"}},
    {"PayloadCutShort", kFirstFrame, {.fault = Cut(Stage::kPayload, 100)}, {kClosedGracefully, "nRead(100)" + kShortPayload}},
    {"PayloadCutShortInItsOwnSend", kFirstFrame, {.splitHeaderAndPayload = true, .fault = Cut(Stage::kPayload, 0)}, {kClosedGracefully, "nRead(0)" + kShortPayload}},
    {"PayloadReset", kFirstFrame, {.fault = Reset(Stage::kPayload, 100)}, {kConnectionReset, "error reading real image data"}},
    {"PayloadNotAJpeg", kFirstFrame, {.payload = NotAJpeg}, {"image data spoiled"}},
    {"PayloadStartsFF00", kFirstFrame, {.payload = Starting(0xFF, 0x00)}, {"image data spoiled"}},
    {"PayloadStarts00D8", kFirstFrame, {.payload = Starting(0x00, 0xD8)}, {"image data spoiled"}},
    {"SecondHeaderCutShort", kSecondFrame, {.fault = Cut(Stage::kHeader, 31, 1)}, {kClosedGracefully, "nRead(31)" + kShortHeader}},
};
// clang-format on

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class CameraFailureTest : public CameraThreadTest,
                          public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CameraFailureTest, ReportsClosesOnceAndEnds) {
    const FailureCase& failure = GetParam();
    Script script = failure.script;
    if (!script.payload) {
        script.payload = [](int) { return MarkedPayload(kPayloadSize, "marked frame"); };
    }
    StartCamera(script);
    std::mutex lock;
    std::vector<std::pair<std::u16string, UINT>> boxes;
    platform_testing::SetMessageBoxAnswerer([&](const std::u16string& text, UINT type) {
        std::lock_guard<std::mutex> guard(lock);
        boxes.emplace_back(text, type);
        return IDOK;
    });
    const int32_t lengthBefore = ImageDataLength;  // no camera thread runs now

    const size_t framesBefore = failure.phase == kSecondFrame ? 1 : 0;
    CameraRun run(owner);
    run.onNotification = [&](const Notification& seen) {
        if (seen.connected && run.Notifications().size() <= framesBefore) {
            run.RequestNextFrame();
        }
    };
    ASSERT_TRUE(run.Run());
    platform_testing::SetMessageBoxAnswerer({});

    EXPECT_EQ(trace.Messages(), failure.diagnostics);
    decltype(boxes) shown;
    if (!failure.box.empty()) shown.emplace_back(failure.box, MB_OK);
    EXPECT_EQ(boxes, shown);
    ExpectEndedOnce(run, framesBefore);
    ExpectClosedOnce();
    Strings events =
        failure.phase == kLogin ? Strings{"socket"} : Strings{"socket", "connected=1", "trying=0"};
    events.insert(events.end(), {"connected=0", "trying=0", "firstFrame=1"});
    EXPECT_EQ(owner.Events(), events);
    if (failure.script.lengthText) {  // a refused length is not stored
        EXPECT_EQ(run.Notifications().back().length, lengthBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CameraFailureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
