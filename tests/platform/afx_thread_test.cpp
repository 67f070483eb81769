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

TEST(AfxThreadTest, SuspendedThreadIsKeptByItsOwnerAndAutoDeleteOneByItself) {
    Work work;
    platform_testing::FailThreadCreations(1);
    EXPECT_EQ(AfxBeginThread(WorkProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED),
              nullptr);
    std::unique_ptr<CWinThread> kept(
        AfxBeginThread(WorkProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(kept, nullptr);
    kept->m_bAutoDelete = FALSE;
    EXPECT_NE(kept->m_nThreadID, 0u);
    EXPECT_EQ(WaitForSingleObject(*kept, 20), WAIT_TIMEOUT);
    EXPECT_EQ(work.runs.load(), 0);
    work.release = true;
    EXPECT_EQ(kept->ResumeThread(), 1u);
    EXPECT_EQ(WaitForSingleObject(*kept, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(work.runs.load(), 1);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(*kept, &code));
    EXPECT_EQ(code, 7u);
    HANDLE handle = kept->m_hThread;
    kept.reset();  // the destructor closes the handle
    EXPECT_FALSE(GetExitCodeThread(handle, &code));

    const int threadsBefore = platform_testing::LiveThreadCount();
    Work other;
    CWinThread* thread = AfxBeginThread(WorkProc, &other);  // runs at once, deletes itself
    ASSERT_NE(thread, nullptr);
    handle = thread->m_hThread;
    ASSERT_TRUE(GetExitCodeThread(handle, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    other.release = true;
    for (int waited = 0; waited < 10000 && platform_testing::LiveThreadCount() != threadsBefore;
         ++waited) {
        Sleep(1);
    }
    EXPECT_EQ(platform_testing::LiveThreadCount(), threadsBefore);
    EXPECT_EQ(other.runs.load(), 1);
    EXPECT_FALSE(GetExitCodeThread(handle, &code));  // released by the destructor on the thread
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
