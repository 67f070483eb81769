// The socket family over loopback: handle rules, blocking calls woken by a close, error codes,
// dotted address text and name lookups.
#include "platform/winsock.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fakecamera/tcp.h"
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
using test_support::CallResult;

sockaddr_in LoopbackAddress(uint16_t port) {
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    return address;
}

int Connect(SOCKET s, uint16_t port) {
    const sockaddr_in address = LoopbackAddress(port);
    return connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
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

        SetLastError(0);
        EXPECT_EQ(closesocket(s), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAENOTSOCK));
        char byte = 0;
        EXPECT_EQ(recv(s, &byte, 1, 0), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
        EXPECT_EQ(send(s, &byte, 1, 0), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
        EXPECT_EQ(Connect(s, 1), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    }
    EXPECT_EQ(closesocket(0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);

    EXPECT_EQ(socket(23, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
    EXPECT_EQ(socket(AF_INET, 2, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAESOCKTNOSUPPORT);
    EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore);
}

TEST(WinsockTest, TransfersBothWaysAndSeesTheEnds) {
    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    TcpConnection peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());

    EXPECT_EQ(send(s, "0110", 4, 0), 4);
    EXPECT_EQ(peer.ReceiveExact(4), "0110");
    ASSERT_TRUE(peer.SendAll("hello"));
    char buffer[16] = {};
    int received = 0;
    while (received < 5) {
        const int n = recv(s, buffer + received, sizeof buffer - received, 0);
        ASSERT_GT(n, 0);
        received += n;
    }
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(recv(s, buffer, 0, 0), 0);

    peer.Close();
    EXPECT_EQ(recv(s, buffer, sizeof buffer, 0), 0);  // orderly close
    EXPECT_EQ(closesocket(s), 0);
}

TEST(WinsockTest, ReportsRefusalsAndResetsWithTheirCodes) {
    uint16_t freePort;
    {
        TcpListener probe;
        ASSERT_TRUE(probe.Listen());
        freePort = probe.Port();
    }
    const SOCKET refused = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(Connect(refused, freePort), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAECONNREFUSED));
    EXPECT_EQ(closesocket(refused), 0);

    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    EXPECT_EQ(Connect(s, listener.Port()), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEISCONN);
    TcpConnection peer = listener.Accept();
    ASSERT_TRUE(peer.SendAll("abc"));
    peer.Reset();
    char buffer[8];
    int n;
    do {
        n = recv(s, buffer, sizeof buffer, 0);
    } while (n > 0);  // bytes ahead of the reset may or may not be delivered
    EXPECT_EQ(n, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
    EXPECT_EQ(closesocket(s), 0);
}

TEST(WinsockTest, CloseWakesABlockedReceive) {
    const int openBefore = platform_testing::OpenSocketCount();
    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    TcpConnection peer = listener.Accept();

    char buffer[4];
    BlockingCall call([&] { return recv(s, buffer, sizeof buffer, 0); });
    ASSERT_TRUE(test_support::WaitUntilInPoll(call.KernelThreadId()));
    EXPECT_EQ(closesocket(s), 0);
    const CallResult result = call.Result();
    EXPECT_EQ(result.result, SOCKET_ERROR);
    EXPECT_EQ(result.error, WSAEINTR);
    EXPECT_EQ(peer.ReceiveExact(1), "");  // the descriptor was released: the peer sees the end
    EXPECT_EQ(platform_testing::OpenSocketCount(), openBefore);
}

TEST(WinsockTest, CloseWakesABlockedSend) {
    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    TcpConnection peer = listener.Accept();  // never reads

    const std::string flood(64 * 1024 * 1024, 'x');
    BlockingCall call([&] { return send(s, flood.data(), static_cast<int>(flood.size()), 0); });
    ASSERT_TRUE(test_support::WaitUntilInPoll(call.KernelThreadId()));
    EXPECT_EQ(closesocket(s), 0);
    const CallResult result = call.Result();
    EXPECT_EQ(result.result, SOCKET_ERROR);
    EXPECT_EQ(result.error, WSAEINTR);
}

TEST(WinsockTest, CloseWakesAConnectThatNeverCompletes) {
    test_support::UnansweredListener listener;
    ASSERT_TRUE(listener.IsFull());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    BlockingCall call([&] { return Connect(s, listener.Port()); });
    ASSERT_TRUE(test_support::WaitUntilInPoll(call.KernelThreadId()));
    EXPECT_EQ(closesocket(s), 0);
    const CallResult result = call.Result();
    EXPECT_EQ(result.result, SOCKET_ERROR);
    EXPECT_EQ(result.error, WSAEINTR);
}

uint32_t HostOrder(uint32_t networkOrder) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&networkOrder);
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           bytes[3];
}

TEST(WinsockTest, ParsesDottedAddressText) {
    struct Case {
        const char* text;
        uint32_t expected;  // host order
    };
    const Case cases[] = {
        {"127.0.0.1", 0x7F000001},  {"192.168.1.20", 0xC0A80114}, {"127.1", 0x7F000001},
        {"10.1.2", 0x0A010002},     {"1.2.65535", 0x0102FFFF},    {"1.16777215", 0x01FFFFFF},
        {"2130706433", 0x7F000001}, {"0x7f.1", 0x7F000001},       {"0177.0.0.01", 0x7F000001},
        {"0X7F000001", 0x7F000001}, {"0.0.0.0", 0x00000000},      {"1.2.3.4 ", 0x01020304},
    };
    for (const Case& c : cases) EXPECT_EQ(HostOrder(inet_addr(c.text)), c.expected) << c.text;

    for (const char* invalid :
         {"", "255.255.255.255", "1.2.3.256", "1.2.3.4.5", "1..2", "1.2.3.", ".1.2.3", "08.1.1.1",
          "1.2.3.4x", "a.b.c.d", "1.2.65536", "4294967296", "0x", "-1", " 1.2.3.4", "1.2.3.4:80"}) {
        EXPECT_EQ(inet_addr(invalid), INADDR_NONE) << '"' << invalid << '"';
    }

    const uint16_t network = htons(0x1234);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&network);
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(ntohs(network), 0x1234);
}

TEST(WinsockTest, LooksUpNamesIntoPerThreadResults) {
    std::mutex lock;
    std::vector<std::string> asked;
    platform_testing::SetHostResolver([&](const std::string& name, uint32_t* address) {
        std::lock_guard<std::mutex> guard(lock);
        asked.push_back(name);
        if (name == "unknown.test") return false;
        *address = inet_addr(name == "camera.test" ? "10.0.0.7" : "10.0.0.8");
        return true;
    });
    hostent* entry = gethostbyname("camera.test");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->h_name, "camera.test");
    EXPECT_EQ(entry->h_addrtype, AF_INET);
    EXPECT_EQ(entry->h_length, 4);
    ASSERT_NE(entry->h_addr_list[0], nullptr);
    EXPECT_EQ(entry->h_addr_list[1], nullptr);
    uint32_t address;
    std::memcpy(&address, entry->h_addr, 4);
    EXPECT_EQ(address, inet_addr("10.0.0.7"));

    // Another thread's lookup has its own result; this thread's stays as it was.
    std::thread other([] {
        hostent* otherEntry = gethostbyname("other.test");
        ASSERT_NE(otherEntry, nullptr);
        EXPECT_STREQ(otherEntry->h_name, "other.test");
    });
    other.join();
    EXPECT_STREQ(entry->h_name, "camera.test");
    std::memcpy(&address, entry->h_addr, 4);
    EXPECT_EQ(address, inet_addr("10.0.0.7"));

    EXPECT_EQ(gethostbyname("unknown.test"), nullptr);
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
    platform_testing::SetHostResolver({});
    EXPECT_EQ(asked, (std::vector<std::string>{"camera.test", "other.test", "unknown.test"}));

    hostent* local = gethostbyname("localhost");  // the host's own resolver
    ASSERT_NE(local, nullptr);
    std::memcpy(&address, local->h_addr, 4);
    EXPECT_EQ(HostOrder(address) >> 24, 127u);
}

TEST(WinsockTest, ClosingASocketOfTheWaitingThreadAbandonsItsLookup) {
    test_support::HeldResolver resolver;
    std::promise<SOCKET> created;
    BlockingCall call([&] {
        const SOCKET own = socket(AF_INET, SOCK_STREAM, 0);
        created.set_value(own);
        return gethostbyname("slow.test") == nullptr ? SOCKET_ERROR : 0;
    });
    const SOCKET own = created.get_future().get();
    ASSERT_TRUE(resolver.WaitAsked());

    // A socket of another thread does not concern the lookup.
    const SOCKET foreign = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(closesocket(foreign), 0);
    EXPECT_EQ(closesocket(own), 0);
    const CallResult result = call.Result();
    EXPECT_EQ(result.result, SOCKET_ERROR);
    EXPECT_EQ(result.error, WSAEINTR);
}

TEST(WinsockTest, LookupOfAnotherThreadOutlivesForeignCloses) {
    test_support::HeldResolver resolver;
    BlockingCall call([&] { return gethostbyname("slow.test") == nullptr ? SOCKET_ERROR : 0; });
    ASSERT_TRUE(resolver.WaitAsked());
    const SOCKET foreign = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(closesocket(foreign), 0);
    resolver.Release();
    EXPECT_EQ(call.Result().result, 0);  // the lookup was not abandoned
}

}  // namespace
