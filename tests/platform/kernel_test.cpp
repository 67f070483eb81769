// The kernel family: last error, performance counter, critical sections, threads, debug output.
#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/testing/hooks.h"

namespace {

TEST(KernelTest, LastErrorBelongsToEachThread) {
    SetLastError(1234);
    DWORD seenByOther = 0;
    std::thread([&] {
        seenByOther = GetLastError();
        SetLastError(99);
    }).join();
    EXPECT_EQ(seenByOther, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(GetLastError(), 1234u);
}

TEST(KernelTest, PerformanceCounterIsMonotonicAndReplaceable) {
    LARGE_INTEGER frequency{}, first{}, second{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    Sleep(2);
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    EXPECT_GE(second.QuadPart - first.QuadPart, 2000000);  // Sleep(2) lasts at least 2 ms

    platform_testing::SetPerformanceCounter(true, 1000, [] { return int64_t{777}; });
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency) && QueryPerformanceCounter(&first));
    EXPECT_EQ(frequency.QuadPart, 1000);
    EXPECT_EQ(first.QuadPart, 777);
    platform_testing::SetPerformanceCounter(false, 0, {});
    EXPECT_FALSE(QueryPerformanceFrequency(&frequency));
    EXPECT_FALSE(QueryPerformanceCounter(&first));
    platform_testing::ResetPerformanceCounter();
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);
}

TEST(KernelTest, CriticalSectionIsRecursiveAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the holder may enter again
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    int counter = 0;  // guarded only by the critical section
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) {
                EnterCriticalSection(&section);
                ++counter;
                LeaveCriticalSection(&section);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, 4000);
    DeleteCriticalSection(&section);
}

struct Gate {
    std::atomic<bool> open{false};
    std::atomic<int> runs{0};
    std::atomic<DWORD> threadId{0};
};

DWORD GatedProc(LPVOID parameter) {
    auto* gate = static_cast<Gate*>(parameter);
    gate->runs.fetch_add(1);
    gate->threadId.store(GetCurrentThreadId());
    while (!gate->open.load()) Sleep(1);
    return 42;
}

TEST(KernelTest, ThreadsStartOnResumeReportTheirExitCodeAndOutliveTheirHandle) {
    const int threadsBefore = platform_testing::LiveThreadCount();
    Gate gate;
    platform_testing::FailThreadCreations(1);
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, GatedProc, &gate, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, GatedProc, &gate, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(platform_testing::LiveThreadCount(), threadsBefore + 1);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_EQ(gate.runs.load(), 0);  // still suspended
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(ResumeThread(thread), 0u);
    gate.open = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(gate.runs.load(), 1);
    EXPECT_EQ(gate.threadId.load(), id);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(platform_testing::LiveThreadCount(), threadsBefore);

    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(ResumeThread(thread), 0xFFFFFFFFu);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);

    // A thread whose handle is closed at once runs on to its end.
    Gate detached;
    ASSERT_TRUE(CloseHandle(CreateThread(nullptr, 0, GatedProc, &detached, 0, nullptr)));
    detached.open = true;
    for (int waited = 0; waited < 10000 && platform_testing::LiveThreadCount() != threadsBefore;
         ++waited) {
        Sleep(1);
    }
    EXPECT_EQ(platform_testing::LiveThreadCount(), threadsBefore);
    EXPECT_EQ(detached.runs.load(), 1);
}

TEST(KernelTest, DebugOutputReachesOnlyAnAttachedObserver) {
    OutputDebugStringW(u"before");  // nobody attached: goes nowhere
    std::mutex lock;
    std::vector<std::u16string> seen;
    platform_testing::SetDebugOutputObserver([&](const std::u16string& text) {
        std::lock_guard<std::mutex> guard(lock);
        seen.push_back(text);
    });
    OutputDebugStringW(u"one");
    std::thread([] { OutputDebugStringW(u"two \u00e9"); }).join();
    platform_testing::SetDebugOutputObserver({});
    OutputDebugStringW(u"after");
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"one", u"two \u00e9"}));
}

}  // namespace
