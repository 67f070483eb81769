#include "camera_thread_fixture.h"

#include "platform/testing/hooks.h"

const char kClosedGracefully[] = "nRead is 0 in recvn(the connection was closed gracefully)";
const char kConnectionReset[] = "nRead is SOCKET_ERROR in recvn : 10054";

std::vector<uint8_t> MarkedPayload(size_t size, const std::string& caption19) {
    std::vector<uint8_t> payload(size, 0x55);
    payload[0] = 0xFF;
    payload[1] = 0xD8;
    for (size_t i = 0; i < 19 && 24 + i < size; ++i) {
        payload[24 + i] = static_cast<uint8_t>(i < caption19.size() ? caption19[i] : ' ');
    }
    payload[size - 2] = 0xFF;
    payload[size - 1] = 0xD9;
    return payload;
}

void CameraThreadTest::SetUp() {
    openSocketsBefore = platform_testing::OpenSocketCount();
    liveThreadsBefore = platform_testing::LiveThreadCount();
}

void CameraThreadTest::TearDown() {
    platform_testing::SetMessageBoxAnswerer({});
    platform_testing::SetHostResolver({});
    EXPECT_EQ(platform_testing::LiveThreadCount(), liveThreadsBefore);
}

void CameraThreadTest::StartCamera(fakecamera::Script script) {
    camera.SetScript(std::move(script));
    ASSERT_TRUE(camera.Start());
    owner.port = camera.Port();
}

void CameraThreadTest::ExpectEndedOnce(const CameraRun& run, size_t frames) {
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(owner.connected.load(), FALSE);
    EXPECT_EQ(owner.trying.load(), FALSE);
    EXPECT_EQ(owner.firstFrame.load(), TRUE);
    const Strings events = owner.Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(Strings(events.end() - 3, events.end()),
              (Strings{"connected=0", "trying=0", "firstFrame=1"}));
    ASSERT_EQ(run.Notifications().size(), frames + 1);
    const Notification& last = run.Notifications().back();
    EXPECT_EQ(last.connected, FALSE);
    EXPECT_EQ(last.trying, FALSE);
    EXPECT_EQ(last.firstFrame, TRUE);
    EXPECT_EQ(last.wParam, 0u);
    EXPECT_EQ(last.lParam, 0);
}

void CameraThreadTest::ExpectClosedOnce() {
    EXPECT_EQ(trace.Count("closesocket failed"), 0);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openSocketsBefore);
    const SOCKET s = owner.socket.load();
    ASSERT_NE(s, 0u);
    EXPECT_EQ(closesocket(s), SOCKET_ERROR);  // already closed by the thread
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}
