// Every way a step of a connection can fail once the camera answers wrongly, one row each: the
// exact diagnostics in order, one close of the socket, and the end sequence.
#include "camera_fixture.h"

namespace {

using namespace fakecamera;

constexpr int32_t kPayloadSize = 5000;

struct FailureCase {
    const char* name;
    bool inLogin;  // before the connection counts as connected, or in the first frame
    Script script;
    Strings diagnostics;  // and "box: " with the text of each message box shown
};

Fault Cut(Stage stage, size_t afterBytes, Action action = Action::kClose) {
    return Fault{stage, 0, afterBytes, action};
}

// A payload whose start marker has the two bytes given.
std::function<std::vector<uint8_t>(int)> Starting(uint8_t first, uint8_t second) {
    return [=](int) {
        std::vector<uint8_t> payload = MarkedPayload(kPayloadSize, "spoiled frame");
        payload[0] = first;
        payload[1] = second;
        return payload;
    };
}

const char kReset[] = "nRead is SOCKET_ERROR in recvn : 10054";
const std::string kShortMessage = " is not equal to MESSAGE_PACKET_LENGTH(4)";
const std::string kShortHeader = " is not equal to IMAGE_DATA_HEADER_LENGTH(32)";
const std::string kUnexpected = "Error: unexpected message from camera";

// clang-format off
const FailureCase kCases[] = {
    {"HandshakeCutShort", true, {.handshakeReply = "012", .fault = Cut(Stage::kHandshake, 3)}, {kClosedGracefully, "nRead(3)" + kShortMessage}},
    {"HandshakeReset", true, {.fault = Cut(Stage::kHandshake, 2, Action::kReset)}, {kReset, "read error1"}},
    {"ServerFull", true, {.handshakeReply = "0120"}, {"ERROR: Server Full"}},
    {"HandshakeWithAnotherCode", true, {.handshakeReply = "0301"}, {kUnexpected + "(301)"}},
    {"AuthReplyTrickledShort", true, {.trickle = true, .fault = Cut(Stage::kAuthReply, 3)}, {kClosedGracefully, "nRead(3)" + kShortMessage}},
    {"AuthReplyReset", true, {.fault = Cut(Stage::kAuthReply, 1, Action::kReset)}, {kReset, "read error2"}},
    {"AuthReplyUnexpected", true, {.authReply = "0303"}, {kUnexpected + "(303)"}},
    {"AuthRefused", true, {.authReply = "0302"}, {"box: Admin authentication failed"}},
    {"AuthInvalidMessageId", true, {.authReply = "9000"}, {"box: Error: Invalid message id"}},
    {"HeaderCutShort", false, {.fault = Cut(Stage::kHeader, 10)}, {kClosedGracefully, "nRead(10)" + kShortHeader}},
    {"HeaderReset", false, {.fault = Cut(Stage::kHeader, 10, Action::kReset)}, {kReset, "Error receiving header"}},
    {"HeaderCodeNotImageOk", false, {.codeText = "0131"}, {"message is not IMAGE_OK"}},
    {"LengthTooLong", false, {.lengthText = [](int, size_t) { return std::string("00200001"); }}, {"ImageDataLength too long (200001)"}},
    {"LengthNegative", false, {.lengthText = [](int, size_t) { return std::string("-1"); }}, {"nRead(0) is not equal to ImageDataLength(-1)"}},
    {"PayloadCutShort", false, {.fault = Cut(Stage::kPayload, 100)}, {kClosedGracefully, "nRead(100) is not equal to ImageDataLength(5000)"}},
    {"PayloadReset", false, {.fault = Cut(Stage::kPayload, 100, Action::kReset)}, {kReset, "error reading real image data"}},
    {"PayloadStartsFF00", false, {.payload = Starting(0xFF, 0x00)}, {"image data spoiled"}},
    {"PayloadStarts00D8", false, {.payload = Starting(0x00, 0xD8)}, {"image data spoiled"}},
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
    if (!script.payload) script.payload = Starting(0xFF, 0xD8);
    StartCamera(script);
    std::mutex lock;
    Strings boxes;
    platform_testing::SetMessageBoxAnswerer([&](const std::u16string& text, UINT) {
        std::lock_guard<std::mutex> guard(lock);
        boxes.push_back("box: " + std::string(text.begin(), text.end()));
        return IDOK;
    });
    const int32_t lengthBefore = ImageDataLength;  // no camera thread runs now

    CameraRun run(owner);
    ASSERT_TRUE(run.Run());
    platform_testing::SetMessageBoxAnswerer({});

    Strings seen = trace.Messages();
    seen.insert(seen.end(), boxes.begin(), boxes.end());
    EXPECT_EQ(failure.diagnostics, seen);
    ExpectEndedOnce(run, 0);
    ExpectClosedOnce();
    Strings events =
        failure.inLogin ? Strings{"socket"} : Strings{"socket", "connected=1", "trying=0"};
    events.insert(events.end(), {"connected=0", "trying=0", "firstFrame=1", "shown"});
    EXPECT_EQ(events, owner.Events());
    if (failure.script.lengthText) {  // a refused length is not stored
        EXPECT_EQ(lengthBefore, run.Notifications().back().first);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CameraFailureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
