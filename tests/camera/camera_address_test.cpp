// How the camera thread turns the host text and the port into an address: names are looked up,
// dotted text is parsed, a port outside 1..65535 is refused.
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

TEST_F(CameraThreadTest, LooksUpNamesParsesDottedTextAndRefusesPortsOutOfRange) {
    StartCamera({});
    std::mutex lock;
    Strings asked;
    platform_testing::SetHostResolver([&](const std::string& name, uint32_t* address) {
        std::lock_guard<std::mutex> guard(lock);
        asked.push_back(name);
        *address = inet_addr("127.0.0.1");
        return name == "camera.example";
    });
    const std::u16string unknown = u"unknown server name = ",
                         cyrillic = u"\u043a\u0430\u043c\u0435\u0440\u0430";
    const std::u16string longName(150, u'7');
    const auto invalidPort = [](int port) {
        const std::string text = std::to_string(port);
        return u"invalid port = " + std::u16string(text.begin(), text.end());
    };
    const struct {
        std::u16string host;
        int port;                                 // added to the camera's port
        std::vector<std::u16string> diagnostics;  // none: a frame arrives
    } cases[] = {
        {u"camera.example", 0, {}},
        // A name of another script is a name as well; one the resolver does not know is refused.
        {cyrillic, 0, {unknown + cyrillic}},
        // Text that begins with no letter is never looked up; the report carries the host text as
        // the thread took it: at most 100 characters.
        {u"1camera", 0, {unknown + u"1camera"}},
        {u"255.255.255.255", 0, {unknown + u"255.255.255.255"}},
        {u"", 0, {unknown}},
        {u"192.168.1.300", 0, {unknown + u"192.168.1.300"}},
        {longName, 0, {unknown + longName.substr(0, 100)}},
        // Never dialled as the port its low 16 bits name, nor as port 0.
        {u"127.0.0.1", 65536, {invalidPort(camera.Port() + 65536)}},
        {u"127.0.0.1", -camera.Port(), {invalidPort(0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::string(c.host.begin(), c.host.end()) << " port +" << c.port);
        trace.Clear();
        owner.BeginConnection();
        owner.host = CString(c.host);
        owner.port = camera.Port() + c.port;
        const int connectionsBefore = camera.ConnectionCount();
        CameraRun run(owner);
        RunUntilFirstFrame(owner, run);
        EXPECT_EQ(trace.RawMessages(), c.diagnostics);
        if (c.diagnostics.empty()) {
            EXPECT_EQ(camera.ConnectionCount(), connectionsBefore + 1);
            EXPECT_EQ(run.Notifications().size(), 2u);  // a frame, then the end
        } else {
            ExpectEndedOnce(run, 0);
            ExpectClosedOnce();
        }
    }
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ(asked, (Strings{"camera.example", "??????"}));
}

}  // namespace
