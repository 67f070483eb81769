// The kernel family and the framework's worker threads: last error, performance counter,
// critical sections, threads made directly and through the framework.
#include "platform/kernel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/afx.h"
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

TEST(KernelTest, PerformanceCounterCountsNanoseconds) {
    LARGE_INTEGER frequency{}, first{}, second{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    Sleep(2);
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    EXPECT_GE(second.QuadPart - first.QuadPart, 2000000);  // Sleep(2) lasts at least 2 ms
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

// Work for a thread: it counts its runs and notes its id, then waits until the gate opens.
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

UINT GatedWork(LPVOID parameter) {
    return GatedProc(parameter) - 35;
}

// Waits (10 s at most) until `count` threads live; the count then.
int WaitForLiveThreads(int count) {
    for (int waited = 0; waited < 10000 && platform_testing::LiveThreadCount() != count; ++waited) {
        Sleep(1);
    }
    return platform_testing::LiveThreadCount();
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
    // Every call on the closed handle fails and sets ERROR_INVALID_HANDLE itself.
    const std::function<bool()> failsOnClosedHandle[] = {
        [&] { return !CloseHandle(thread); },
        [&] { return !GetExitCodeThread(thread, &code); },
        [&] { return ResumeThread(thread) == 0xFFFFFFFFu; },
        [&] { return WaitForSingleObject(thread, 0) == WAIT_FAILED; },
    };
    for (const auto& fails : failsOnClosedHandle) {
        SetLastError(0);
        EXPECT_TRUE(fails());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }

    // A thread whose handle is closed at once runs on to its end.
    Gate detached;
    ASSERT_TRUE(CloseHandle(CreateThread(nullptr, 0, GatedProc, &detached, 0, nullptr)));
    detached.open = true;
    EXPECT_EQ(WaitForLiveThreads(threadsBefore), threadsBefore);
    EXPECT_EQ(detached.runs.load(), 1);
}

TEST(KernelTest, AFrameworkThreadIsKeptByItsOwnerOrDeletesItselfWhenAutoDelete) {
    Gate work;
    platform_testing::FailThreadCreations(1);
    EXPECT_EQ(AfxBeginThread(GatedWork, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED),
              nullptr);
    std::unique_ptr<CWinThread> kept(
        AfxBeginThread(GatedWork, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(kept, nullptr);
    kept->m_bAutoDelete = FALSE;
    EXPECT_NE(kept->m_nThreadID, 0u);
    work.open = true;
    EXPECT_EQ(kept->ResumeThread(), 1u);  // it was suspended
    EXPECT_EQ(WaitForSingleObject(*kept, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(work.runs.load(), 1);
    EXPECT_EQ(work.threadId.load(), kept->m_nThreadID);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(*kept, &code));
    EXPECT_EQ(code, 7u);
    HANDLE handle = kept->m_hThread;
    kept.reset();  // the destructor closes the handle
    EXPECT_FALSE(GetExitCodeThread(handle, &code));

    const int threadsBefore = platform_testing::LiveThreadCount();
    Gate other;
    CWinThread* thread = AfxBeginThread(GatedWork, &other);  // runs at once, deletes itself
    ASSERT_NE(thread, nullptr);
    handle = thread->m_hThread;
    ASSERT_TRUE(GetExitCodeThread(handle, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    other.open = true;
    EXPECT_EQ(WaitForLiveThreads(threadsBefore), threadsBefore);
    EXPECT_EQ(other.runs.load(), 1);
    EXPECT_FALSE(GetExitCodeThread(handle, &code));  // released by the destructor on the thread
}

}  // namespace
