// The protocol's pieces: the authentication packet's bytes, the parsing of received numeric
// fields, and the exact-length receive and the image request over real loopback sockets with the
// diagnostics they hand to the sink.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "camera/camera_protocol.h"
#include "fakecamera/tcp.h"
#include "support/blocking_call.h"
#include "support/blocking_probe.h"
#include "support/trace_recorder.h"

namespace {

using Strings = std::vector<std::string>;

const char kClosedGracefully[] = "nRead is 0 in recvn(the connection was closed gracefully)";

constexpr char kCanary = '\x5A';
constexpr size_t kGuard = 16;

// Builds the packet between two guard zones and checks that nothing outside it was touched.
std::string Build(const CString& id, const CString& password) {
    std::vector<char> buffer(kGuard + IMG_XFER_USER_AUTH_PKT_LEN + kGuard, kCanary);
    BuildAuthPacket(buffer.data() + kGuard, id, password);
    const std::string packet(buffer.data() + kGuard, IMG_XFER_USER_AUTH_PKT_LEN);
    buffer.erase(buffer.begin() + kGuard, buffer.begin() + kGuard + IMG_XFER_USER_AUTH_PKT_LEN);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), std::string(2 * kGuard, kCanary));
    return packet;
}

std::string Zeros(size_t n) {
    return std::string(n, '\0');
}

TEST(AuthPacketTest, PlacesCodeIdAndPasswordInZeroFilledFieldsCutToTheirSize) {
    const std::string code = "0300" + Zeros(12);
    EXPECT_EQ(Build(u"admin", u""), code + "admin" + Zeros(27));
    EXPECT_EQ(Build(u"admin", u"pass"), code + "admin" + Zeros(11) + "pass" + Zeros(12));
    EXPECT_EQ(Build(u"", u""), code + Zeros(32));
    EXPECT_EQ(Build(u"123456789012345", u"x"),  // 15 characters keep a terminator
              code + "123456789012345" + Zeros(1) + "x" + Zeros(15));
    EXPECT_EQ(Build(u"ABCDEFGHIJKLMNOP", u"pw"),  // exactly 16: no zero byte among them
              code + "ABCDEFGHIJKLMNOP" + "pw" + Zeros(14));
    EXPECT_EQ(Build(u"ABCDEFGHIJKLMNOPQRST", u""), code + "ABCDEFGHIJKLMNOP" + Zeros(16));
    EXPECT_EQ(Build(u"id", u"0123456789abcdefXYZ"), code + "id" + Zeros(14) + "0123456789abcdef");
    EXPECT_EQ(Build(CString(std::u16string(5000, u'i')), CString(std::u16string(70000, u'p'))),
              code + std::string(16, 'i') + std::string(16, 'p'));
    // Latin-1 letters become their byte; characters beyond it become '?'.
    EXPECT_EQ(Build(u"caf\u00e9", u"\u20ac1"), code + "caf\xE9" + Zeros(12) + "?1" + Zeros(14));
}

TEST(CodeFieldTest, ParsesEachFieldApartTheWayAtoiDoes) {
    const std::pair<std::string, int> cases[] = {
        {"0121", SERVER_READY},
        {"+121", SERVER_READY},
        {"121 ", SERVER_READY},
        {" 121", SERVER_READY},
        {"121x", SERVER_READY},
        {"12 1", 12},
        {"abcd", 0},
        {"9000", INVALID_MESSAGE_ID},
        {"-120", -120},
        {std::string("1\0"
                     "99",
                     4),
         1},
        {"00200001", MAX_IMAGE_DATA_LENGTH + 1},
        {"  200000", MAX_IMAGE_DATA_LENGTH},
        {"-1      ", -1},
        {"00000000", 0},
    };
    for (const auto& [field, expected] : cases) {
        // The field alone in its own allocation: a read past it would be caught.
        std::vector<char> bytes(field.begin(), field.end());
        EXPECT_EQ(ParseCodeOrLengthField(bytes.data(), static_cast<int>(bytes.size())), expected)
            << '"' << field << '"';
    }
    // The length field ends at its last byte even when digits follow it in memory.
    const std::string header = std::string(20, 'Z') + "013000012345999";
    EXPECT_EQ(ParseCodeOrLengthField(header.data() + HEADER_CODE_OFFSET, HEADER_CODE_LENGTH),
              IMAGE_OK);
    EXPECT_EQ(ParseCodeOrLengthField(header.data() + HEADER_LENGTH_OFFSET, HEADER_LENGTH_LENGTH),
              12345);
}

// A connected pair: the viewer's socket and the camera's end.
struct Link {
    fakecamera::TcpListener listener;
    SOCKET viewer = socket(AF_INET, SOCK_STREAM, 0);
    fakecamera::TcpConnection camera;

    Link() {
        EXPECT_TRUE(listener.Listen());
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(listener.Port());
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        EXPECT_EQ(connect(viewer, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        camera = listener.Accept();
        EXPECT_TRUE(camera.Valid());
    }
    ~Link() { closesocket(viewer); }
};

TEST(RecvnTest, GathersPiecesIntoOneExactReceive) {
    test_support::TraceRecorder trace;
    Link link;
    std::vector<char> buffer(32 + 8, '#');
    test_support::BlockingCall call([&] { return recvn(link.viewer, buffer.data(), 32); });
    const std::string header =
        "FAKECAM0000000000001"
        "0130"
        "00012345";
    size_t sent = 0;
    for (size_t piece : {1u, 7u, 24u}) {
        // Each piece arrives only after the receiver has taken the last one and waits again.
        ASSERT_TRUE(test_support::WaitUntilDrainedAndInPoll(
            call.KernelThreadId(), link.camera.PeerPort(), link.listener.Port()));
        ASSERT_TRUE(link.camera.SendAll(header.substr(sent, piece)));
        sent += piece;
    }
    EXPECT_EQ(call.Result().result, 32);
    EXPECT_EQ(std::string(buffer.data(), 40), header + "########");
    EXPECT_EQ(trace.Messages(), Strings{});
}

TEST(RecvnTest, ReturnsTheShortCountOnCloseAndAnErrorOnReset) {
    test_support::TraceRecorder trace;
    for (const std::string sent : {"012", ""}) {
        Link link;
        char buffer[4];
        ASSERT_TRUE(sent.empty() || link.camera.SendAll(sent));
        link.camera.Close();
        EXPECT_EQ(recvn(link.viewer, buffer, 4), static_cast<int>(sent.size()));
        EXPECT_EQ(std::string(buffer, sent.size()), sent);
    }
    EXPECT_EQ(trace.Messages(), (Strings{kClosedGracefully, kClosedGracefully}));
    trace.Clear();
    Link link;
    char buffer[32];
    ASSERT_TRUE(link.camera.SendAll("0130"));
    link.camera.Reset();
    EXPECT_EQ(recvn(link.viewer, buffer, 32), -1);
    EXPECT_EQ(trace.Messages(), Strings{"nRead is SOCKET_ERROR in recvn : 10054"});
}

TEST(RecvnTest, ReceivesNothingForCountsOfZeroOrLess) {
    test_support::TraceRecorder trace;
    const SOCKET closed = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(closesocket(closed), 0);
    char buffer[1] = {'#'};
    // A receive on the closed handle would fail and be reported; none is made.
    for (int count : {0, -1, -200001}) EXPECT_EQ(recvn(closed, buffer, count), 0) << count;
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(trace.Messages(), Strings{});
    EXPECT_EQ(recvn(closed, buffer, 1), -1);
    EXPECT_EQ(trace.Messages(), Strings{"nRead is SOCKET_ERROR in recvn : 10038"});
}

TEST(ImageRequestTest, PutsExactlyTheRequestOnTheWire) {
    test_support::TraceRecorder trace;
    Link link;
    EXPECT_TRUE(SendImageRequestPacket(link.viewer));
    EXPECT_TRUE(SendImageRequestPacket(link.viewer));
    CloseCameraSocket(link.viewer);
    EXPECT_EQ(link.camera.ReceiveExact(12), "01100110");  // nothing else before the end
    EXPECT_EQ(trace.Messages(), Strings{});

    // The socket is gone now: the request fails, and so does a second close.
    EXPECT_FALSE(SendImageRequestPacket(link.viewer));
    CloseCameraSocket(link.viewer);
    EXPECT_EQ(trace.Messages(), (Strings{"write error", "closesocket failed"}));
}

}  // namespace
