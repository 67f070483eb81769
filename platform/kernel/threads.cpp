// Threads: each handle names shared state in a process-wide table. The thread itself is a
// std::thread that waits until its suspend count reaches zero before it calls the procedure.
// Closing a handle never stops the thread: a thread that has ended is joined, one that still
// runs is detached and finishes on its own.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "platform/kernel.h"
#include "platform/kernel/kernel_seams.h"

namespace {

struct ThreadState {
    std::mutex lock;
    std::condition_variable changed;
    DWORD suspendCount = 0;
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
};

struct HandleEntry {
    std::shared_ptr<ThreadState> state;
    std::thread thread;
};

// Lives for the whole process (never destroyed), so threads still running at exit are no fault.
struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, HandleEntry> entries;
    uintptr_t nextHandle = 0x1000;
};

HandleTable& Table() {
    static HandleTable* const table = new HandleTable;
    return *table;
}

std::atomic<DWORD> g_nextThreadId{1};
std::atomic<int> g_runningThreads{0};
std::atomic<int> g_failingCreations{0};
thread_local DWORD t_threadId = 0;

std::shared_ptr<ThreadState> FindThread(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    const auto it = table.entries.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.entries.end() ? nullptr : it->second.state;
}

bool TakeCreationFailure() {
    int pending = g_failingCreations.load();
    while (pending > 0) {
        if (g_failingCreations.compare_exchange_weak(pending, pending - 1)) return true;
    }
    return false;
}

void RunThread(const std::shared_ptr<ThreadState>& state, DWORD id, LPTHREAD_START_ROUTINE start,
               LPVOID parameter) {
    t_threadId = id;
    {
        std::unique_lock<std::mutex> lock(state->lock);
        state->changed.wait(lock, [&] { return state->suspendCount == 0; });
    }
    const DWORD exitCode = start(parameter);
    g_runningThreads.fetch_sub(1);
    {
        std::lock_guard<std::mutex> lock(state->lock);
        state->exitCode = exitCode;
        state->ended = true;
    }
    state->changed.notify_all();
}

}  // namespace

/* CreateThread: NULL with ERROR_NOT_ENOUGH_MEMORY when the system cannot start a thread. */
HANDLE CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (lpStartAddress == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (TakeCreationFailure()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto state = std::make_shared<ThreadState>();
    state->suspendCount = (dwCreationFlags & CREATE_SUSPENDED) != 0 ? 1 : 0;
    const DWORD id = g_nextThreadId.fetch_add(1);

    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    HandleEntry entry{state, {}};
    g_runningThreads.fetch_add(1);
    try {
        entry.thread = std::thread(RunThread, state, id, lpStartAddress, lpParameter);
    } catch (const std::system_error&) {
        g_runningThreads.fetch_sub(1);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const uintptr_t handle = table.nextHandle;
    table.nextHandle += 4;
    table.entries.emplace(handle, std::move(entry));
    if (lpThreadId != nullptr) *lpThreadId = id;
    return reinterpret_cast<HANDLE>(handle);
}

/* ResumeThread: the previous suspend count; 0xFFFFFFFF with ERROR_INVALID_HANDLE for a bad handle.
 */
DWORD ResumeThread(HANDLE hThread) {
    const auto state = FindThread(hThread);
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFFu;
    }
    DWORD previous;
    {
        std::lock_guard<std::mutex> lock(state->lock);
        previous = state->suspendCount;
        if (state->suspendCount > 0) --state->suspendCount;
    }
    if (previous == 1) state->changed.notify_all();
    return previous;
}

/* GetExitCodeThread: STILL_ACTIVE until the procedure has returned, then its result. */
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    const auto state = FindThread(hThread);
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(state->lock);
    *lpExitCode = state->exitCode;
    return TRUE;
}

/* WaitForSingleObject: waits for the thread's procedure to return. */
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    const auto state = FindThread(hHandle);
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> lock(state->lock);
    const auto ended = [&] { return state->ended; };
    if (dwMilliseconds == INFINITE) {
        state->changed.wait(lock, ended);
        return WAIT_OBJECT_0;
    }
    return state->changed.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), ended)
               ? WAIT_OBJECT_0
               : WAIT_TIMEOUT;
}

/* CloseHandle: forgets the handle; joins an ended thread, detaches a running one. */
BOOL CloseHandle(HANDLE hObject) {
    HandleEntry entry;
    {
        HandleTable& table = Table();
        std::lock_guard<std::mutex> lock(table.lock);
        const auto it = table.entries.find(reinterpret_cast<uintptr_t>(hObject));
        if (it == table.entries.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        entry = std::move(it->second);
        table.entries.erase(it);
    }
    bool ended;
    {
        std::lock_guard<std::mutex> lock(entry.state->lock);
        ended = entry.state->ended;
    }
    if (ended && entry.thread.get_id() != std::this_thread::get_id()) {
        entry.thread.join();
    } else {
        entry.thread.detach();
    }
    return TRUE;
}

/* GetCurrentThreadId: numbers are handed out once and never reused. */
DWORD GetCurrentThreadId() {
    if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
    return t_threadId;
}

/* Sleep: at least the given time. */
void Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

namespace platform_kernel {

void FailNextThreadCreations(int count) {
    g_failingCreations.store(count > 0 ? count : 0);
}

int RunningThreadCount() {
    return g_runningThreads.load();
}

}  // namespace platform_kernel
