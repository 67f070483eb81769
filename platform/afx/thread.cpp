// Worker threads of the framework: CWinThread over a kernel thread that is always created
// suspended, so the creator can set m_bAutoDelete before the procedure runs.
#include <memory>

#include "platform/afx.h"

namespace {

// What the new thread needs; owned by the thread once it has been created.
struct ThreadStart {
    CWinThread* thread;
    AFX_THREADPROC proc;
    LPVOID param;
};

DWORD RunWinThread(LPVOID parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    const UINT exitCode = start->proc(start->param);
    // The creator wrote m_bAutoDelete before resuming; from then on only this thread reads it.
    if (start->thread->m_bAutoDelete) delete start->thread;
    return exitCode;
}

}  // namespace

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() {
    return ::ResumeThread(m_hThread);
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    auto thread = std::make_unique<CWinThread>();
    auto start = std::make_unique<ThreadStart>(ThreadStart{thread.get(), pfnThreadProc, pParam});
    DWORD id = 0;
    HANDLE handle =
        CreateThread(lpSecurityAttrs, nStackSize, RunWinThread, start.get(), CREATE_SUSPENDED, &id);
    if (handle == nullptr) return nullptr;
    start.release();  // the new thread owns it now
    thread->m_hThread = handle;
    thread->m_nThreadID = id;
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0) ::ResumeThread(handle);
    return thread.release();
}
