// Windows and messages: what destroying a window does to callers waiting on it and later sends.
#include <atomic>
#include <thread>

#include "tests/platform/user_test_helpers.h"

namespace {

const UINT kAsk = WM_USER + 40;

// Only the owner destroys a window, releasing a waiting sender without its event loop; during
// WM_DESTROY it serves its own thread only; the sender's released message is never delivered.
TEST(WindowTest, DestroyingReleasesAWaitingSenderAndLaterSendsReturnZero) {
    std::atomic<int> handled{0};
    LRESULT duringDestroy[2] = {-1, -1};
    HWND hWnd = nullptr;
    hWnd = platform_testing::CreateTestWindow([&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == kAsk) return ++handled, 9;
        if (message == WM_DESTROY) {
            duringDestroy[0] = IsWindow(hWnd) ? -2 : SendMessageW(hWnd, kAsk, 0, 0);
            std::thread([&] { duringDestroy[1] = SendMessageW(hWnd, kAsk, 0, 0); }).join();
        }
        return 0;
    });
    DWORD foreignError = 0;
    std::thread([&] { foreignError = DestroyWindow(hWnd) ? 0 : GetLastError(); }).join();
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), foreignError);
    std::atomic<int> otherHandled{0};
    HWND other = platform_testing::CreateTestWindow([&](UINT message, WPARAM wParam, LPARAM) {
        if (message == kAsk) ++otherHandled;
        return static_cast<LRESULT>(wParam + 100);
    });
    std::atomic<LRESULT> result{-1}, toOther{-1};
    std::thread worker([&] {
        result = SendMessageW(hWnd, kAsk, 0, 0);
        toOther = SendMessageW(other, kAsk, 7, 0);
    });
    while (platform_testing::WaitingSendCount(hWnd) == 0) std::this_thread::yield();
    EXPECT_TRUE(DestroyWindow(hWnd));
    while (platform_testing::WaitingSendCount(other) == 0) std::this_thread::yield();
    EXPECT_EQ(0, result.load());
    EXPECT_EQ(9, duringDestroy[0]);
    EXPECT_EQ(0, duringDestroy[1]);
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return toOther.load() != -1; }));
    worker.join();
    EXPECT_EQ(107, toOther.load());
    EXPECT_EQ(1, otherHandled.load());
    DestroyWindow(other);
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(1, handled.load());  // only the owner's own send during WM_DESTROY
    // The handle names nothing any more, and is never handed out again.
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(0, SendMessageW(hWnd, kAsk, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    HWND next = platform_testing::CreateTestWindow(nullptr);
    EXPECT_NE(next, hWnd);
    DestroyWindow(next);
}

}  // namespace
