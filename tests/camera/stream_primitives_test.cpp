// The exact-length receive and the image request over real loopback sockets, with the
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
