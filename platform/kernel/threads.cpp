// Threads: each handle names an entry in the kernel's handle table. The thread itself is a
// std::thread that waits until its suspend count reaches zero before it calls the procedure.
// Closing a handle never stops the thread: a thread that has ended is joined, one that still
// runs is detached and finishes on its own.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/kernel.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/kernel_seams.h"

namespace platform_kernel {

Seam<std::function<bool()>> g_threadCreationFailureSeam;

namespace {

struct ThreadEntry {
    std::mutex lock;
    std::condition_variable changed;
    DWORD suspendCount = 0;
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
    std::thread thread;  // set once by CreateThread, joined or detached by CloseHandle
};

// Never destroyed: a thread still running at exit may reach it.
HandleTable<ThreadEntry>& Threads() {
    static auto* const table = new HandleTable<ThreadEntry>(0x1000, 4);
    return *table;
}

std::atomic<DWORD> g_nextThreadId{1};
std::atomic<int> g_runningThreads{0};
thread_local DWORD t_threadId = 0;

std::shared_ptr<ThreadEntry> ThreadOrFail(HANDLE handle) {
    auto entry = Threads().Find(reinterpret_cast<uintptr_t>(handle));
    if (entry == nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return entry;
}

void RunThread(const std::shared_ptr<ThreadEntry>& entry, DWORD id, LPTHREAD_START_ROUTINE start,
               LPVOID parameter) {
    t_threadId = id;
    {
        std::unique_lock<std::mutex> lock(entry->lock);
        entry->changed.wait(lock, [&] { return entry->suspendCount == 0; });
    }
    const DWORD exitCode = start(parameter);
    g_runningThreads.fetch_sub(1);
    {
        std::lock_guard<std::mutex> lock(entry->lock);
        entry->exitCode = exitCode;
        entry->ended = true;
    }
    entry->changed.notify_all();
}

}  // namespace

int RunningThreadCount() {
    return g_runningThreads.load();
}

}  // namespace platform_kernel

using platform_kernel::ThreadOrFail;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    using namespace platform_kernel;
    if (lpStartAddress == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto* fails = g_threadCreationFailureSeam.Get();
    auto entry = std::make_shared<ThreadEntry>();
    entry->suspendCount = (dwCreationFlags & CREATE_SUSPENDED) != 0 ? 1 : 0;
    // The handle exists before the thread, so that a thread which cannot start leaves nothing.
    const uintptr_t handle = (fails != nullptr && (*fails)()) ? 0 : Threads().Add(entry);
    if (handle == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const DWORD id = g_nextThreadId.fetch_add(1);
    g_runningThreads.fetch_add(1);
    try {
        std::lock_guard<std::mutex> lock(entry->lock);
        entry->thread = std::thread(RunThread, entry, id, lpStartAddress, lpParameter);
    } catch (const std::system_error&) {
        g_runningThreads.fetch_sub(1);
        Threads().Remove(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (lpThreadId != nullptr) *lpThreadId = id;
    return reinterpret_cast<HANDLE>(handle);
}

DWORD ResumeThread(HANDLE hThread) {
    const auto entry = ThreadOrFail(hThread);
    if (entry == nullptr) return 0xFFFFFFFFu;
    DWORD previous;
    {
        std::lock_guard<std::mutex> lock(entry->lock);
        previous = entry->suspendCount;
        if (entry->suspendCount > 0) --entry->suspendCount;
    }
    if (previous == 1) entry->changed.notify_all();
    return previous;
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    const auto entry = ThreadOrFail(hThread);
    if (entry == nullptr) return FALSE;
    std::lock_guard<std::mutex> lock(entry->lock);
    *lpExitCode = entry->exitCode;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    const auto entry = ThreadOrFail(hHandle);
    if (entry == nullptr) return WAIT_FAILED;
    std::unique_lock<std::mutex> lock(entry->lock);
    const auto ended = [&] { return entry->ended; };
    if (dwMilliseconds == INFINITE) {
        entry->changed.wait(lock, ended);
        return WAIT_OBJECT_0;
    }
    return entry->changed.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), ended)
               ? WAIT_OBJECT_0
               : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE hObject) {
    const auto entry = platform_kernel::Threads().Remove(reinterpret_cast<uintptr_t>(hObject));
    if (entry == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::unique_lock<std::mutex> lock(entry->lock);
    std::thread thread = std::move(entry->thread);
    const bool ended = entry->ended;
    lock.unlock();
    if (ended && thread.get_id() != std::this_thread::get_id()) {
        thread.join();
    } else {
        thread.detach();
    }
    return TRUE;
}

DWORD GetCurrentThreadId() {
    using platform_kernel::t_threadId;
    if (t_threadId == 0) t_threadId = platform_kernel::g_nextThreadId.fetch_add(1);
    return t_threadId;
}

void Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}
