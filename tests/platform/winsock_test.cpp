// The socket family over loopback: start-up, handle rules, blocking calls woken by a close, error
// codes, dotted address text and name lookups.
#include "platform/winsock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fakecamera/tcp.h"
#include "platform/afx.h"
#include "platform/kernel.h"
#include "platform/testing/hooks.h"
#include "support/blocking_call.h"
#include "support/blocking_probe.h"
#include "support/held_resolver.h"
#include "support/unanswered_listener.h"

namespace {

using fakecamera::TcpConnection;
using fakecamera::TcpListener;
using test_support::BlockingCall;

int Connect(SOCKET s, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    return connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

// The last error after a failed call, or 0 when the call did not fail with SOCKET_ERROR.
int FailureOf(int result) {
    return result == SOCKET_ERROR ? WSAGetLastError() : 0;
}

TEST(WinsockTest, SocketLayerStartsAsVersionOneOne) {
    WSADATA data{};
    ASSERT_TRUE(AfxSocketInit(&data));
    EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
    EXPECT_EQ(WSACleanup(), 0);
    platform_testing::FailSocketLayerStartup(true);
    EXPECT_FALSE(AfxSocketInit(&data));
    EXPECT_NE(WSAStartup(MAKEWORD(1, 1), &data), 0);
    platform_testing::FailSocketLayerStartup(false);
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), &data), 10092);  // below 1.1: not supported

    // Clean-ups past the last start-up fail; the start-ups made elsewhere are put back.
    int started = 0;
    while (started < 1000 && WSACleanup() == 0) ++started;
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    for (int i = 0; i < started; ++i) EXPECT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
}

TEST(WinsockTest, HandlesAreNeverReusedAndCloseOnce) {
    const int openBefore = platform_testing::OpenSocketCount();
    std::set<SOCKET> seen;
    for (int round = 0; round < 20; ++round) {
        const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_NE(s, INVALID_SOCKET);
        EXPECT_NE(s, 0u);
        EXPECT_TRUE(seen.insert(s).second) << "handle " << s << " handed out twice";
        EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore + 1);
        EXPECT_EQ(closesocket(s), 0);
        EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore);

        // Every call on the closed handle fails and sets WSAENOTSOCK itself.
        char byte = 0;
        const std::function<int()> calls[] = {
            [&] { return closesocket(s); }, [&] { return recv(s, &byte, 1, 0); },
            [&] { return send(s, &byte, 1, 0); }, [&] { return Connect(s, 1); }};
        for (const auto& call : calls) {
            SetLastError(0);
            EXPECT_EQ(FailureOf(call()), WSAENOTSOCK);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAENOTSOCK));
        }
    }
    EXPECT_EQ(FailureOf(closesocket(0)), WSAENOTSOCK);
    EXPECT_EQ(socket(23, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
    EXPECT_EQ(socket(AF_INET, 2, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAESOCKTNOSUPPORT);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore);
}

TEST(WinsockTest, TransfersBothWaysAndReportsEndsRefusalsAndResets) {
    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    EXPECT_EQ(FailureOf(Connect(s, listener.Port())), WSAEISCONN);
    TcpConnection peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());
    EXPECT_EQ(send(s, "0110", 4, 0), 4);
    EXPECT_EQ(peer.ReceiveExact(4), "0110");
    ASSERT_TRUE(peer.SendAll("hello"));
    char buffer[16] = {};
    for (int received = 0, n = 0; received < 5; received += n) {
        n = recv(s, buffer + received, sizeof buffer - received, 0);
        ASSERT_GT(n, 0);
    }
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(recv(s, buffer, 0, 0), 0);
    peer.Close();
    EXPECT_EQ(recv(s, buffer, sizeof buffer, 0), 0);  // orderly close
    EXPECT_EQ(closesocket(s), 0);

    const SOCKET reset = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(reset, listener.Port()), 0);
    peer = listener.Accept();
    ASSERT_TRUE(peer.SendAll("abc"));
    peer.Reset();
    int n;
    do {
        n = recv(reset, buffer, sizeof buffer, 0);
    } while (n > 0);  // bytes ahead of the reset may or may not be delivered
    EXPECT_EQ(FailureOf(n), WSAECONNRESET);
    EXPECT_EQ(closesocket(reset), 0);

    // A send larger than the socket's buffers waits until the peer has taken every byte.
    const SOCKET bulk = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(bulk, listener.Port()), 0);
    peer = listener.Accept();
    const std::string data(8 * 1024 * 1024, 'b');
    std::string arrived;
    std::thread reader([&] { arrived = peer.ReceiveExact(data.size()); });
    EXPECT_EQ(send(bulk, data.data(), int(data.size()), 0), int(data.size()));
    EXPECT_EQ(closesocket(bulk), 0);  // the reader sees the end after what was sent
    reader.join();
    EXPECT_TRUE(arrived == data) << arrived.size() << " bytes arrived";

    uint16_t freePort = 0;
    {
        TcpListener closed;
        ASSERT_TRUE(closed.Listen());
        freePort = closed.Port();
    }
    const SOCKET refused = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(FailureOf(Connect(refused, freePort)), WSAECONNREFUSED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAECONNREFUSED));
    EXPECT_EQ(closesocket(refused), 0);
}

TEST(WinsockTest, CloseWakesABlockedReceiveSendAndConnect) {
    const int openBefore = platform_testing::OpenSocketCount();
    const std::string flood(64 * 1024 * 1024, 'x');
    for (const char* call : {"recv", "send", "connect"}) {
        SCOPED_TRACE(call);
        TcpListener listener;
        ASSERT_TRUE(listener.Listen());
        test_support::UnansweredListener full;
        ASSERT_TRUE(full.IsFull());
        const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        TcpConnection peer;  // never reads nor sends
        if (call != std::string("connect")) {
            ASSERT_EQ(Connect(s, listener.Port()), 0);
            peer = listener.Accept();
        }
        char buffer[4];
        BlockingCall blocked([&] {
            if (call == std::string("recv")) return recv(s, buffer, sizeof buffer, 0);
            if (call == std::string("send")) return send(s, flood.data(), int(flood.size()), 0);
            return Connect(s, full.Port());
        });
        ASSERT_TRUE(test_support::WaitUntilInPoll(blocked.KernelThreadId()));
        EXPECT_EQ(closesocket(s), 0);
        const test_support::CallResult result = blocked.Result();
        EXPECT_EQ(result.result, SOCKET_ERROR);
        EXPECT_EQ(result.error, WSAEINTR);
        if (call == std::string("recv")) {
            EXPECT_EQ(peer.ReceiveExact(1),
                      "");  // the descriptor was released: the peer sees the end
        }
        EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore);
    }
}

std::atomic<bool> g_signalled{false};

// A signal that interrupts a blocked call's wait is not the socket's close: the call waits on.
TEST(WinsockTest, ASignalDuringABlockedReceiveDoesNotEndIt) {
    struct sigaction noted {};
    noted.sa_handler = [](int) { g_signalled.store(true); };  // no SA_RESTART: the wait sees EINTR
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGUSR1, &noted, &previous), 0);
    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    TcpConnection peer = listener.Accept();
    char byte = 0;
    BlockingCall blocked([&] { return recv(s, &byte, 1, 0); });
    ASSERT_TRUE(test_support::WaitUntilInPoll(blocked.KernelThreadId()));
    ASSERT_EQ(syscall(SYS_tgkill, getpid(), blocked.KernelThreadId(), SIGUSR1), 0);
    while (!g_signalled.load()) Sleep(1);
    ASSERT_TRUE(test_support::WaitUntilInPoll(blocked.KernelThreadId()));
    ASSERT_TRUE(peer.SendAll("z"));
    EXPECT_EQ(blocked.Result().result, 1);
    EXPECT_EQ(byte, 'z');
    EXPECT_EQ(closesocket(s), 0);
    sigaction(SIGUSR1, &previous, nullptr);
}

uint32_t HostOrder(uint32_t networkOrder) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&networkOrder);
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           bytes[3];
}

TEST(WinsockTest, ParsesDottedAddressText) {
    const std::pair<const char*, uint32_t> valid[] = {
        {"127.0.0.1", 0x7F000001},  {"192.168.1.20", 0xC0A80114}, {"127.1", 0x7F000001},
        {"10.1.2", 0x0A010002},     {"1.2.65535", 0x0102FFFF},    {"1.16777215", 0x01FFFFFF},
        {"2130706433", 0x7F000001}, {"0x7f.1", 0x7F000001},       {"0177.0.0.01", 0x7F000001},
        {"0X7F000001", 0x7F000001}, {"0.0.0.0", 0x00000000},      {"1.2.3.4 ", 0x01020304},
    };
    for (const auto& [text, expected] : valid)
        EXPECT_EQ(HostOrder(inet_addr(text)), expected) << text;
    for (const char* invalid :
         {"", "255.255.255.255", "1.2.3.256", "1.2.3.4.5", "1..2", "1.2.3.", ".1.2.3", "08.1.1.1",
          "1.2.3.4x", "a.b.c.d", "1.2.65536", "4294967296", "0x", "-1", " 1.2.3.4", "1.2.3.4:80"}) {
        EXPECT_EQ(inet_addr(invalid), INADDR_NONE) << '"' << invalid << '"';
    }
    EXPECT_EQ(HostOrder(htons(0x1234)), 0x12340000u);
    EXPECT_EQ(ntohs(htons(0x1234)), 0x1234);
}

TEST(WinsockTest, LooksUpNamesIntoPerThreadResults) {
    std::mutex lock;
    std::vector<std::string> asked;
    platform_testing::SetHostResolver([&](const std::string& name, uint32_t* address) {
        std::lock_guard<std::mutex> guard(lock);
        asked.push_back(name);
        *address = inet_addr(name == "camera.test" ? "10.0.0.7" : "10.0.0.8");
        return name != "unknown.test";
    });
    const auto addressOf = [](const hostent* entry) {
        uint32_t address;
        std::memcpy(&address, entry->h_addr, 4);
        return HostOrder(address);
    };
    hostent* entry = gethostbyname("camera.test");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::make_tuple(std::string(entry->h_name), entry->h_addrtype, entry->h_length),
              std::make_tuple(std::string("camera.test"), short{AF_INET}, short{4}));
    EXPECT_EQ(entry->h_addr_list[1], nullptr);
    EXPECT_EQ(addressOf(entry), 0x0A000007u);

    // Another thread's lookup has its own result; this thread's stays as it was.
    std::thread([] { EXPECT_STREQ(gethostbyname("other.test")->h_name, "other.test"); }).join();
    EXPECT_STREQ(entry->h_name, "camera.test");
    EXPECT_EQ(addressOf(entry), 0x0A000007u);

    EXPECT_EQ(gethostbyname("unknown.test"), nullptr);
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
    platform_testing::SetHostResolver({});
    EXPECT_EQ(asked, (std::vector<std::string>{"camera.test", "other.test", "unknown.test"}));
    hostent* local = gethostbyname("localhost");  // the host's own resolver
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(addressOf(local) >> 24, 127u);
}

TEST(WinsockTest, ClosingASocketOfTheWaitingThreadAbandonsItsLookup) {
    for (const bool ownSocket : {true, false}) {
        SCOPED_TRACE(ownSocket ? "own socket" : "no own socket");
        test_support::HeldResolver resolver;
        std::promise<SOCKET> created;
        BlockingCall call([&] {
            created.set_value(ownSocket ? socket(AF_INET, SOCK_STREAM, 0) : INVALID_SOCKET);
            return gethostbyname("slow.test") == nullptr ? SOCKET_ERROR : 0;
        });
        const SOCKET own = created.get_future().get();
        ASSERT_TRUE(resolver.WaitAsked());
        // A socket of another thread does not concern the lookup.
        EXPECT_EQ(closesocket(socket(AF_INET, SOCK_STREAM, 0)), 0);
        if (!ownSocket) {
            resolver.Release();
            EXPECT_EQ(call.Result().result, 0);  // the lookup was not abandoned
            continue;
        }
        EXPECT_EQ(closesocket(own), 0);
        const test_support::CallResult result = call.Result();
        EXPECT_EQ(result.result, SOCKET_ERROR);
        EXPECT_EQ(result.error, WSAEINTR);
    }
}

// A lookup that a thread makes after another thread closed its socket would have nothing to wake
// it: it does not start. The thread's next socket, or a close of its own, leaves lookups alone.
TEST(WinsockTest, ALookupAfterAnotherThreadClosedTheCallersSocketDoesNotStart) {
    test_support::HeldResolver resolver;
    resolver.Release();  // a lookup that starts answers at once
    std::promise<SOCKET> created;
    std::promise<void> closed;
    BlockingCall call([&] {
        created.set_value(socket(AF_INET, SOCK_STREAM, 0));
        closed.get_future().wait();
        const bool refused =
            gethostbyname("closed.test") == nullptr && WSAGetLastError() == WSAEINTR;
        const bool started = resolver.Asked();
        EXPECT_EQ(closesocket(socket(AF_INET, SOCK_STREAM, 0)), 0);
        const bool found = gethostbyname("open.test") != nullptr;
        return refused && !started && found ? 0 : SOCKET_ERROR;
    });
    EXPECT_EQ(closesocket(created.get_future().get()), 0);
    closed.set_value();
    EXPECT_EQ(call.Result().result, 0);
    EXPECT_EQ(resolver.LastName(), "open.test");
}

}  // namespace
