// How the camera thread turns the host text and the port into an address: names are looked up,
// dotted text is parsed, a port outside 1..65535 is refused, and a refused connect is reported.
#include "camera_fixture.h"

namespace {

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
    const uint16_t freedPort = [] {  // a port nothing listens on any more
        fakecamera::TcpListener listener;
        return listener.Listen() ? listener.Port() : uint16_t{0};
    }();
    const std::string unknown = "unknown server name = ";
    const struct Row {
        std::u16string host;
        Strings diagnostics;  // none: a frame arrives
        int port = -1;        // -1: the camera's
    } rows[] = {
        {u"camera.example", {}},
        // A name of another script is a name as well; one the resolver does not know is refused.
        {u"\u043a\u0430\u043c", {unknown + "\xD0\xBA\xD0\xB0\xD0\xBC"}},
        // Text that begins with no letter is never looked up; the report carries the host text as
        // the thread took it: at most 100 characters.
        {u"1camera", {unknown + "1camera"}},
        {u"255.255.255.255", {unknown + "255.255.255.255"}},
        {u"", {unknown}},
        {std::u16string(150, u'7'), {unknown + std::string(100, '7')}},
        // Never dialled as the port its low 16 bits name, nor as port 0.
        {u"127.0.0.1",
         {"invalid port = " + std::to_string(camera.Port() + 65536)},
         camera.Port() + 65536},
        {u"127.0.0.1", {"invalid port = 0"}, 0},
        {u"127.0.0.1", {"connect error : 10061"}, freedPort},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        trace.Clear();
        owner.host = CString(row.host);
        owner.port = row.port == -1 ? camera.Port() : row.port;
        owner.running = TRUE;
        CameraRun run(owner);
        run.onNotification = [&] { owner.running = FALSE; };  // ends after its first frame
        ASSERT_TRUE(run.Run());
        EXPECT_EQ(row.diagnostics, trace.Messages());
        ExpectEndedOnce(run, row.diagnostics.empty() ? 1 : 0);
        if (row.diagnostics.empty()) {
            EXPECT_EQ(0, closesocket(owner.socket.load()));
        } else {
            ExpectClosedOnce();
        }
    }
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ((Strings{"camera.example", "???"}), asked);
}

}  // namespace
