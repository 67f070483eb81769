// Windows and messages: sending on the window's own thread and from another thread, and what
// destroying a window does to callers waiting on it.

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "tests/platform/user_test_helpers.h"

namespace {

const UINT kAsk = WM_USER + 40;

TEST(WindowTest, SendsOnTheOwnThreadAtOnceAndFromAnotherThreadThroughTheOwner) {
    const int before = platform_testing::LiveWindowCount();
    const std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<int> calls{0};
    std::atomic<bool> ranOnOwner{true};
    HWND hWnd = platform_testing::CreateTestWindow([&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kAsk) return LRESULT{0};
        ++calls;
        if (std::this_thread::get_id() != uiThread) ranOnOwner = false;
        return static_cast<LRESULT>(wParam * 10 + static_cast<WPARAM>(lParam));
    });
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(platform_testing::LiveWindowCount(), before + 1);
    EXPECT_TRUE(IsWindow(hWnd));

    // Same thread: the procedure has run when the call returns.
    EXPECT_EQ(SendMessageW(hWnd, kAsk, 4, 2), 42);
    EXPECT_EQ(calls.load(), 1);

    // Another thread: the message runs on the owner thread while it handles events.
    std::atomic<LRESULT> fromWorker{-1};
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        fromWorker = SendMessageW(hWnd, kAsk, 7, 3);
        workerDone = true;
    });
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return workerDone.load(); }));
    worker.join();
    EXPECT_EQ(fromWorker.load(), 73);
    EXPECT_EQ(calls.load(), 2);
    EXPECT_TRUE(ranOnOwner.load());

    // The procedure takes every message: the text is not the platform's to keep.
    EXPECT_FALSE(SetWindowTextW(hWnd, u"caption"));

    // A window without a procedure has the platform's default handling: its text.
    HWND bare = platform_testing::CreateTestWindow(nullptr);
    EXPECT_TRUE(SetWindowTextW(bare, u"caption"));
    EXPECT_EQ(GetWindowTextLengthW(bare), 7);
    WCHAR buffer[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetWindowTextW(bare, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"cap");
    EXPECT_EQ(buffer[4], u'x');
    EXPECT_TRUE(DestroyWindow(bare));

    EXPECT_TRUE(DestroyWindow(hWnd));
    EXPECT_EQ(platform_testing::LiveWindowCount(), before);
}

TEST(WindowTest, OnlyTheOwnerDestroysWhichReleasesAWaitingSenderAndLaterSendsReturnZero) {
    std::atomic<int> handled{0};
    std::vector<UINT> order;
    HWND hWnd = platform_testing::CreateTestWindow([&](UINT message, WPARAM, LPARAM) {
        if (message == kAsk) ++handled;
        if (message == WM_DESTROY || message == WM_NCDESTROY) order.push_back(message);
        return LRESULT{5};
    });
    // Only the owner thread destroys a window.
    std::atomic<BOOL> destroyed{TRUE};
    std::atomic<DWORD> foreignError{0};
    std::thread([&] {
        destroyed = DestroyWindow(hWnd);
        foreignError = GetLastError();
    }).join();
    EXPECT_FALSE(destroyed.load());
    EXPECT_EQ(foreignError.load(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // The owner handles no events while the worker waits, as a dialog busy in its destroy
    // handler would not; the release must not depend on the owner's event loop.
    // The released sender then sends to another window while its released message still waits
    // in the owner's queue: that send is answered once, the released message never.
    std::atomic<int> otherHandled{0};
    HWND other = platform_testing::CreateTestWindow([&](UINT message, WPARAM wParam, LPARAM) {
        if (message == kAsk) ++otherHandled;
        return static_cast<LRESULT>(wParam + 100);
    });
    std::atomic<LRESULT> result{-1};
    std::atomic<LRESULT> toOther{-1};
    std::thread worker([&] {
        result = SendMessageW(hWnd, kAsk, 0, 0);
        toOther = SendMessageW(other, kAsk, 7, 0);
    });
    while (platform_testing::WaitingSendCount(hWnd) == 0) std::this_thread::yield();
    EXPECT_TRUE(IsWindow(hWnd));
    EXPECT_TRUE(DestroyWindow(hWnd));
    while (platform_testing::WaitingSendCount(other) == 0) std::this_thread::yield();
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(order, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return toOther.load() != -1; },
                                              std::chrono::seconds(10)));
    worker.join();
    EXPECT_EQ(toOther.load(), 107);
    EXPECT_EQ(otherHandled.load(), 1);
    DestroyWindow(other);

    // The queued message is never delivered, and the handle names nothing any more.
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(handled.load(), 0);
    EXPECT_FALSE(IsWindow(hWnd));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(DestroyWindow(hWnd));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(SendMessageW(hWnd, kAsk, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    std::thread late([&] { result = SendMessageW(hWnd, kAsk, 0, 0); });
    late.join();
    EXPECT_EQ(result.load(), 0);

    // A handle is never handed out again.
    HWND next = platform_testing::CreateTestWindow(nullptr);
    EXPECT_NE(next, hWnd);
    EXPECT_EQ(SendMessageW(hWnd, kAsk, 0, 0), 0);
    DestroyWindow(next);
}

TEST(WindowTest, DuringWmDestroyTheWindowRefusesOtherThreadsButServesItsOwn) {
    HWND hWnd = nullptr;
    std::atomic<LRESULT> fromWorker{-1};
    LRESULT fromOwner = -1;
    BOOL isWindowInDestroy = TRUE;
    hWnd = platform_testing::CreateTestWindow([&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == kAsk) return 9;
        if (message == WM_DESTROY) {
            isWindowInDestroy = IsWindow(hWnd);
            fromOwner = SendMessageW(hWnd, kAsk, 0, 0);
            std::thread worker([&] { fromWorker = SendMessageW(hWnd, kAsk, 0, 0); });
            worker.join();
        }
        return 0;
    });
    ASSERT_TRUE(DestroyWindow(hWnd));
    EXPECT_FALSE(isWindowInDestroy);
    EXPECT_EQ(fromOwner, 9);
    EXPECT_EQ(fromWorker.load(), 0);
}

// A thread that cannot make the wake-up of its mailbox (no file descriptor left) gets no window,
// rather than one whose cross-thread sends would wait for ever.
TEST(WindowTest, AThreadWithoutAWakeUpCreatesNoWindow) {
    HWND refused = nullptr;
    DWORD error = ERROR_SUCCESS;
    std::thread([&] {
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
        // Every descriptor below the lowest free one is taken: with that as the limit, none is
        // left.
        const int lowestFree = dup(0);
        ASSERT_GE(lowestFree, 0);
        close(lowestFree);
        rlimit none = saved;
        none.rlim_cur = static_cast<rlim_t>(lowestFree);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
        refused = platform_testing::CreateTestWindow(nullptr);
        error = GetLastError();
        setrlimit(RLIMIT_NOFILE, &saved);
    }).join();
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

}  // namespace
