// How the camera thread turns the host text and the port into an address: names are looked up,
// dotted text is parsed, the port keeps its low 16 bits.
#include <atomic>
#include <mutex>

#include "camera_fixture.h"
#include "platform/testing/hooks.h"

namespace {

// Runs a connection that ends after its first frame, or earlier on a failure.
void RunUntilFirstFrame(TestCameraOwner& owner, CameraRun& run) {
    owner.running = TRUE;
    run.onNotification = [&](const Notification& seen) {
        if (seen.connected) {
            owner.running = FALSE;
            closesocket(owner.socket.load());
        }
    };
    ASSERT_TRUE(run.Run());
}

TEST_F(CameraThreadTest, LooksUpAlphabeticHostsByName) {
    StartCamera({});
    std::mutex lock;
    Strings asked;
    platform_testing::SetHostResolver([&](const std::string& name, uint32_t* address) {
        std::lock_guard<std::mutex> guard(lock);
        asked.push_back(name);
        *address = inet_addr("127.0.0.1");
        return name == "camera.example";
    });
    owner.host = u"camera.example";
    {
        CameraRun run(owner);
        RunUntilFirstFrame(owner, run);
        EXPECT_EQ(run.Notifications().size(), 2u);  // a frame, then the end
    }
    EXPECT_EQ(trace.Messages(), Strings{});

    // A name of another script is a name as well; one the resolver does not know is refused.
    owner.host = u"\u043a\u0430\u043c\u0435\u0440\u0430";
    {
        CameraRun run(owner);
        RunUntilFirstFrame(owner, run);
        ExpectEndedOnce(run, 0);
    }
    ExpectClosedOnce();
    EXPECT_EQ(trace.Messages(),
              Strings{"unknown server name = \xD0\xBA\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0"});
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ(asked, (Strings{"camera.example", "??????"}));
}

TEST_F(CameraThreadTest, RefusesHostTextThatIsNeitherNameNorAddress) {
    std::atomic<bool> resolverAsked{false};
    platform_testing::SetHostResolver([&](const std::string&, uint32_t*) {
        resolverAsked = true;
        return false;
    });
    const std::u16string longName(150, u'7');
    for (const std::u16string host :
         {u"1camera", u"255.255.255.255", u"", u"192.168.1.300", longName.c_str()}) {
        SCOPED_TRACE(std::string(host.begin(), host.end()));
        trace.Clear();
        owner.BeginConnection();
        owner.host = CString(host);
        CameraRun run(owner);
        ASSERT_TRUE(run.Run());
        // The report carries the host text as the thread took it: at most 100 characters.
        EXPECT_EQ(trace.RawMessages(),
                  std::vector<std::u16string>{u"unknown server name = " + host.substr(0, 100)});
        ExpectEndedOnce(run, 0);
        ExpectClosedOnce();
    }
    EXPECT_FALSE(resolverAsked);  // a host that begins with no letter is never looked up
}

TEST_F(CameraThreadTest, PortKeepsItsLow16Bits) {
    StartCamera({});
    const int actual = camera.Port();
    for (const int port : {actual + 65536, actual - 3 * 65536}) {
        SCOPED_TRACE(port);
        owner.BeginConnection();
        owner.port = port;
        const int connectionsBefore = camera.ConnectionCount();
        CameraRun run(owner);
        RunUntilFirstFrame(owner, run);
        EXPECT_EQ(camera.ConnectionCount(), connectionsBefore + 1);
        EXPECT_EQ(run.Notifications().size(), 2u);
    }
    // Port 70000 reaches 4464, and -1 reaches 65535, where a camera can listen.
    for (const auto& [port, reached] : {std::pair{70000, 4464}, std::pair{-1, 65535}}) {
        fakecamera::FakeCamera fixed;
        if (!fixed.Start(static_cast<uint16_t>(reached))) continue;  // the port is taken here
        owner.BeginConnection();
        owner.port = port;
        CameraRun run(owner);
        RunUntilFirstFrame(owner, run);
        EXPECT_EQ(fixed.ConnectionCount(), 1) << port;
    }
    EXPECT_EQ(trace.Messages(), Strings{});

    // Port 0 is no port: the connect is refused.
    owner.BeginConnection();
    owner.port = 0;
    CameraRun run(owner);
    RunUntilFirstFrame(owner, run);
    EXPECT_EQ(trace.Messages(), Strings{"connect error : 10061"});
    ExpectEndedOnce(run, 0);
    ExpectClosedOnce();
}

}  // namespace
