// The socket family over loopback: failure codes, and blocked calls and lookups woken by a close.
#include "platform/winsock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <set>
#include <string>
#include <thread>

#include "fakecamera/tcp.h"
#include "platform/kernel.h"
#include "platform/testing/hooks.h"
#include "support/blocking_probe.h"
#include "tests/platform/blocked_calls.h"

namespace {

using fakecamera::TcpConnection;
using fakecamera::TcpListener;

int Connect(SOCKET s, uint16_t port) {
    const sockaddr_in address{AF_INET, htons(port), {{inet_addr("127.0.0.1")}}, {}};
    return connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

// The last error after a failed call, or 0 when the call did not fail with SOCKET_ERROR.
int FailureOf(int result) {
    return result == SOCKET_ERROR ? WSAGetLastError() : 0;
}

TEST(WinsockTest, AResetAndARefusalHaveTheirCodes) {
    TcpListener listener;
    ASSERT_TRUE(listener.Listen());
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(Connect(s, listener.Port()), 0);
    listener.Accept().Reset();
    char byte = 0;
    EXPECT_EQ(WSAECONNRESET, FailureOf(recv(s, &byte, 1, 0)));
    EXPECT_EQ(closesocket(s), 0);
    listener.Close();
    const SOCKET refused = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(WSAECONNREFUSED, FailureOf(Connect(refused, listener.Port())));
    EXPECT_EQ(closesocket(refused), 0);
}

std::atomic<bool> g_signalled{false};

// A close wakes each blocked call with WSAEINTR; a signal (no SA_RESTART) does not. A closed
// handle is never handed out again, and every call on it fails with WSAENOTSOCK.
TEST(WinsockTest, CloseWakesABlockedReceiveSendAndConnectAndASignalDoesNot) {
    struct sigaction noted = {}, previous = {};
    noted.sa_handler = [](int) { g_signalled.store(true); };
    ASSERT_EQ(sigaction(SIGUSR1, &noted, &previous), 0);
    const int openBefore = platform_testing::OpenSocketCount();
    const std::string flood(64 * 1024 * 1024, 'x');
    std::set<SOCKET> handles;
    for (const std::string call : {"recv", "send", "connect"}) {
        SCOPED_TRACE(call);
        TcpListener listener;
        ASSERT_TRUE(listener.Listen());
        test_support::UnansweredListener full;
        ASSERT_TRUE(full.IsFull());
        const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        TcpConnection peer;  // never reads nor sends
        if (call != "connect") {
            ASSERT_EQ(Connect(s, listener.Port()), 0);
            peer = listener.Accept();
        }
        char buffer[4];
        test_support::BlockingCall blocked([&] {
            if (call == "recv") return recv(s, buffer, sizeof buffer, 0);
            if (call == "send") return send(s, flood.data(), int(flood.size()), 0);
            return Connect(s, full.Port());
        });
        ASSERT_TRUE(test_support::WaitUntilInPoll(blocked.KernelThreadId()));
        g_signalled = false;
        ASSERT_EQ(syscall(SYS_tgkill, getpid(), blocked.KernelThreadId(), SIGUSR1), 0);
        while (!g_signalled.load()) Sleep(1);
        ASSERT_TRUE(test_support::WaitUntilInPoll(blocked.KernelThreadId()));
        EXPECT_EQ(closesocket(s), 0);
        const test_support::CallResult result = blocked.Result();
        EXPECT_EQ(SOCKET_ERROR, result.result);
        EXPECT_EQ(WSAEINTR, result.error);
        EXPECT_EQ("", call == "recv" ? peer.ReceiveExact(1) : "");  // the peer sees the end
        EXPECT_EQ(openBefore, platform_testing::OpenSocketCount());
        EXPECT_TRUE(handles.insert(s).second) << s << " handed out again";
        EXPECT_EQ(WSAENOTSOCK,
                  FailureOf(call == "send" ? send(s, buffer, 1, 0) : recv(s, buffer, 1, 0)));
        EXPECT_EQ(WSAENOTSOCK, FailureOf(call == "connect" ? Connect(s, 1) : closesocket(s)));
    }
    sigaction(SIGUSR1, &previous, nullptr);
}

// A lookup ends with WSAEINTR when another thread closes its thread's socket, before it starts
// (it then never starts) or while it waits; another thread's socket does not concern it.
TEST(WinsockTest, ClosingTheCallersSocketEndsOnlyItsOwnLookup) {
    enum Close { kForeign, kOwnWhileWaiting, kOwnBefore };
    for (const Close close : {kForeign, kOwnWhileWaiting, kOwnBefore}) {
        SCOPED_TRACE(close);
        test_support::HeldResolver resolver;
        std::promise<SOCKET> created;
        std::promise<void> closed;
        bool started = false;
        test_support::BlockingCall call([&] {
            created.set_value(socket(AF_INET, SOCK_STREAM, 0));
            if (close == kOwnBefore) closed.get_future().wait();
            const bool found = gethostbyname("camera.test") != nullptr;
            started = resolver.Asked();
            return found ? 0 : SOCKET_ERROR;
        });
        const SOCKET own = created.get_future().get();
        ASSERT_TRUE(close == kOwnBefore || resolver.WaitAsked());
        EXPECT_EQ(closesocket(socket(AF_INET, SOCK_STREAM, 0)), 0);
        EXPECT_EQ(0, close == kForeign ? 0 : closesocket(own));
        if (close == kOwnBefore) closed.set_value();
        resolver.Release();
        const test_support::CallResult result = call.Result();
        EXPECT_EQ(close == kForeign ? 0 : SOCKET_ERROR, result.result);
        EXPECT_EQ(close == kForeign ? 0 : WSAEINTR, close == kForeign ? 0 : result.error);
        EXPECT_EQ(close != kOwnBefore, started);
        EXPECT_EQ(0, close == kForeign ? closesocket(own) : 0);
    }
}

}  // namespace
