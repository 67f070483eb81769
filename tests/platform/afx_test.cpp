// The framework: worker threads, the performance counter and the string's formatter.
#include "platform/afx.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/kernel.h"
#include "platform/testing/hooks.h"
#include "support/scoped_locale.h"

namespace {

std::atomic<bool> g_open{false};
std::atomic<int> g_runs{0};

UINT GatedWork(LPVOID) {
    g_runs.fetch_add(1);
    while (!g_open.load()) Sleep(1);
    return 7;
}

TEST(KernelTest, AFrameworkThreadIsKeptByItsOwnerOrDeletesItselfWhenAutoDelete) {
    g_open = false, g_runs = 0;  // as at the start of every repeat
    platform_testing::FailThreadCreations(1);
    SetLastError(0);
    EXPECT_EQ(nullptr, AfxBeginThread(GatedWork, nullptr));
    std::thread([] { SetLastError(5); }).join();  // each thread has its own last error
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
    const int threadsBefore = platform_testing::LiveThreadCount();
    std::unique_ptr<CWinThread> kept(
        AfxBeginThread(GatedWork, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(kept, nullptr);
    kept->m_bAutoDelete = FALSE;
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(*kept, 20));
    EXPECT_EQ(0, g_runs.load());  // still suspended
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(*kept, &code));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), code);
    EXPECT_EQ(1u, kept->ResumeThread());
    g_open = true;
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(*kept, INFINITE));
    EXPECT_TRUE(GetExitCodeThread(*kept, &code));  // the ended thread's object is kept
    EXPECT_EQ(7u, code);
    HANDLE handle = kept->m_hThread;
    kept.reset();  // the destructor closes the handle, on which every call then fails
    SetLastError(0);
    EXPECT_EQ(static_cast<DWORD>(WAIT_FAILED), WaitForSingleObject(handle, 0));
    EXPECT_FALSE(GetExitCodeThread(handle, &code));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    // Auto-deleting, it runs at once and releases its handle itself at its end.
    g_open = false;
    handle = AfxBeginThread(GatedWork, nullptr)->m_hThread;
    g_open = true;
    for (int i = 0; i < 10000 && platform_testing::LiveThreadCount() != threadsBefore; ++i)
        Sleep(1);
    EXPECT_EQ(threadsBefore, platform_testing::LiveThreadCount());
    EXPECT_EQ(2, g_runs.load());
    EXPECT_FALSE(GetExitCodeThread(handle, &code));
}

// The frame rate divides counter ticks by the frequency: both must describe the same clock.
TEST(KernelTest, ThePerformanceCounterAdvancesByItsFrequencyEachSecond) {
    LARGE_INTEGER frequency{}, first{}, last{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(QueryPerformanceCounter(&last));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    const double counted = double(last.QuadPart - first.QuadPart) / double(frequency.QuadPart);
    EXPECT_GE(counted, 0.020) << frequency.QuadPart;
    EXPECT_LE(counted, seconds) << frequency.QuadPart;
}

// The conversions the program formats with, under a desktop locale with a decimal comma.
TEST(CStringTest, FormatsTheProgramsConversionsInTheCLocale) {
    const test_support::ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.InForce());
    const WCHAR wide[] = {u'\u043a', u'm', 0};
    CString text;
    text.Format(u"%f|%d|%s|%d", static_cast<double>(12.5f), -5, wide, 110);
    EXPECT_EQ(u"12.500000|-5|\u043am|110", text.Text());
    // The process keeps the desktop's locale for everything else.
    char narrow[16];
    std::snprintf(narrow, sizeof narrow, "%.1f", 0.5);
    EXPECT_STREQ("0,5", narrow);
}

}  // namespace
