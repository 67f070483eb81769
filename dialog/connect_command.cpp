// The Connect/Disconnect command and the destroy handling of the main dialog.
#include "camera/camera_thread.h"
#include "common/trace.h"
#include "dialog/login_dlg.h"
#include "dialog/pemblar_dlg.h"

void CPemblarDlg::OnConnect() {
    const BOOL wasTrying = m_bTrying;
    m_bLoading = FALSE;
    if (wasTrying) {
        return;
    }

    if (m_bConnected) {
        UpdateData(TRUE);
        UpdateData(FALSE);
        m_bConnected = FALSE;
        m_bRunning = FALSE;
        m_bTrying = FALSE;
        m_btnConnect.SetWindowText(u"Connect");
        UpdateData(FALSE);
        return;
    }

    CLoginDlg login;
    if (m_bSavePassword) {
        CSingleLock lock(&m_connectionLock);
        login.m_strID = m_strID;
        login.m_strPassword = m_strPassword;
        login.m_bSavePassword = TRUE;
    }
    const INT_PTR result = login.DoModal();
    if (result == IDCANCEL) {
        return;
    }
    if (result == IDOK) {
        CSingleLock lock(&m_connectionLock);
        m_strID = login.m_strID;
        m_strPassword = login.m_strPassword;
        m_bSavePassword = login.m_bSavePassword;
    }

    UpdateData(TRUE);
    AddCurrentToHistory();

    {
        // A new ticket supersedes the earlier connection before its socket is closed: its thread,
        // once woken, writes no flag and sends no notification. The meter starts afresh with this
        // connection's first frame, and its first caption is drawn whatever the last one was.
        CSingleLock lock(&m_connectionLock);
        ++m_nConnection;
        m_bTrying = TRUE;
        m_bConnected = TRUE;
        m_bRunning = TRUE;
        m_bFirstFrame = TRUE;
    }
    m_fFps = 0.0f;
    m_strLastStamp.Empty();
    RetireEarlierConnection();
    m_btnConnect.SetWindowText(u"Disconnect");
    UpdateData(FALSE);
    InvalidateRect(m_hWnd, nullptr, FALSE);

    if (!StartCameraThread()) {
        AbandonConnect();
    }
}

BOOL CPemblarDlg::StartCameraThread() {
    CWinThread* thread = AfxBeginThread(CameraThreadProc, static_cast<CCameraOwner*>(this),
                                        THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
    if (thread == nullptr) {
        return FALSE;
    }
    m_pThread = thread;
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

void CPemblarDlg::AbandonConnect() {
    m_bTrying = FALSE;
    m_bConnected = FALSE;
    m_bRunning = FALSE;
    m_btnConnect.SetWindowText(u"Connect");
    UpdateData(FALSE);
}

void CPemblarDlg::RetireEarlierConnection() {
    // The earlier socket is of no further use: closing it ends a thread still waiting on it.
    // Handles are never reused, so closing one that its thread already closed harms nothing.
    const SOCKET earlier = m_socket;
    if (earlier != 0) {
        closesocket(earlier);
    }
    if (m_pThread != nullptr) {
        m_retiredThreads.emplace_back(m_pThread);
        m_pThread = nullptr;
    }
    ReapRetiredThreads(FALSE);
}

void CPemblarDlg::ReapRetiredThreads(BOOL wait) {
    std::erase_if(m_retiredThreads, [wait](const std::unique_ptr<CWinThread>& thread) {
        if (wait) {
            WaitForSingleObject(thread->m_hThread, INFINITE);
        }
        DWORD code = 0;
        return GetExitCodeThread(thread->m_hThread, &code) && code != STILL_ACTIVE;
    });
}

void CPemblarDlg::OnDestroy() {
    CDialog::OnDestroy();

    SOCKET socket;
    {
        // From here on a socket the camera thread creates is refused (it then ends at once).
        CSingleLock lock(&m_connectionLock);
        m_bClosing = TRUE;
        m_bRunning = FALSE;
        socket = m_socket;
    }
    if (socket != 0 && closesocket(socket) == SOCKET_ERROR) {
        TraceMessage(u"tcp closesocket failed in ~CKestroActiveXCtrl");
    }
    if (m_pThread != nullptr) {
        // Every blocking point of the camera thread has been woken: the socket is closed, the
        // window refuses hand-offs and the framework has dismissed its message box.
        DWORD code = 0;
        if (GetExitCodeThread(m_pThread->m_hThread, &code) && code == STILL_ACTIVE) {
            WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        }
        delete m_pThread;
    }
    ReapRetiredThreads(TRUE);
    SaveIpPortControlToRegistry();
}
