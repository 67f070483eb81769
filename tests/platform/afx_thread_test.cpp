// The framework's worker threads and socket-layer start-up.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "platform/afx.h"
#include "platform/testing/hooks.h"

namespace {

struct Work {
    std::atomic<int> runs{0};
    std::atomic<bool> release{false};
};

UINT WorkProc(LPVOID parameter) {
    auto* work = static_cast<Work*>(parameter);
    work->runs.fetch_add(1);
    while (!work->release.load()) Sleep(1);
    return 7;
}

bool WaitForThreadCount(int count) {
    for (int waited = 0; waited < 10000; ++waited) {
        if (platform_testing::LiveThreadCount() == count) return true;
        Sleep(1);
    }
    return false;
}

TEST(AfxThreadTest, SuspendedThreadKeptByItsOwner) {
    Work work;
    work.release = true;
    std::unique_ptr<CWinThread> thread(
        AfxBeginThread(WorkProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    EXPECT_NE(thread->m_nThreadID, 0u);
    EXPECT_EQ(WaitForSingleObject(*thread, 20), WAIT_TIMEOUT);
    EXPECT_EQ(work.runs.load(), 0);

    EXPECT_EQ(thread->ResumeThread(), 1u);
    EXPECT_EQ(WaitForSingleObject(*thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(work.runs.load(), 1);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(*thread, &code));
    EXPECT_EQ(code, 7u);

    const HANDLE handle = thread->m_hThread;
    thread.reset();  // the destructor closes the handle
    EXPECT_FALSE(GetExitCodeThread(handle, &code));
}

TEST(AfxThreadTest, AutoDeleteThreadDeletesItselfAtItsEnd) {
    const int threadsBefore = platform_testing::LiveThreadCount();
    Work work;
    CWinThread* thread = AfxBeginThread(WorkProc, &work);  // runs at once, deletes itself
    ASSERT_NE(thread, nullptr);
    const HANDLE handle = thread->m_hThread;
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(handle, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    work.release = true;
    ASSERT_TRUE(WaitForThreadCount(threadsBefore));
    EXPECT_EQ(work.runs.load(), 1);
    // The object's destructor ran on the thread and released the handle.
    EXPECT_FALSE(GetExitCodeThread(handle, &code));
}

TEST(AfxThreadTest, ThreadThatCannotBeCreatedGivesNull) {
    Work work;
    work.release = true;
    platform_testing::FailThreadCreations(1);
    EXPECT_EQ(AfxBeginThread(WorkProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED),
              nullptr);
    EXPECT_EQ(work.runs.load(), 0);
}

TEST(AfxThreadTest, SocketLayerStartsAsVersionOneOne) {
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

}  // namespace
