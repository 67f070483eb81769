// The main dialog: the view-state record, its commands, frame arrival, the frame-rate meter and
// the painting of the view.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "camera/camera_owner.h"
#include "imaging/jpeg_image.h"
#include "platform/windows.h"
#include "res/resource.h"

class CPemblarDlg : public CDialog, public CCameraOwner {
public:
    explicit CPemblarDlg(CWnd* pParent = nullptr);
    ~CPemblarDlg() override;

    enum { IDD = IDD_PEMBLAR_DIALOG };

    // What the camera thread reads and writes (see CCameraOwner).
    HWND GetNotifyWindow() override;
    DWORD GetConnectionTicket() override;
    BOOL IsCurrentConnection(DWORD ticket) override;
    CString GetCameraHost() override;
    int GetCameraPort(CString* portText) override;
    BOOL IsRunning() override;
    CString GetID() override;
    CString GetPassword() override;
    BOOL SetSocket(DWORD ticket, SOCKET s) override;
    void SetConnected(DWORD ticket, BOOL value) override;
    void SetTrying(DWORD ticket, BOOL value) override;
    void SetFirstFrame(DWORD ticket, BOOL value) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg void OnConnect();
    afx_msg void OnRegistryClear();
    afx_msg LRESULT OnImageArrived(WPARAM wParam, LPARAM lParam);

    void UpdateFrameRate();
    BOOL LoadIpPortControlFromRegistry();
    void AddCurrentToHistory();
    void SaveIpPortControlToRegistry();

    DECLARE_MESSAGE_MAP()

    // ---- the view-state record ----
    CComboBox m_comboPort;
    CComboBox m_comboIP;
    CButton m_btnConnect;
    CString m_strIP;    // guarded by m_connectionLock: the camera thread reads it
    CString m_strPort;  // guarded by m_connectionLock
    HICON m_hIcon;
    std::atomic<BOOL> m_bLoading{FALSE};
    std::atomic<BOOL> m_bTrying{FALSE};
    std::atomic<BOOL> m_bConnected{FALSE};
    std::atomic<BOOL> m_bRunning{FALSE};
    std::atomic<BOOL> m_bFirstFrame{FALSE};
    std::atomic<SOCKET> m_socket{0};
    CString m_strID;        // guarded by m_connectionLock
    CString m_strPassword;  // guarded by m_connectionLock
    BOOL m_bSavePassword = FALSE;
    int m_nViewHeight = 0;
    int m_nViewWidth = 0;
    CString m_strLastStamp;
    CString m_strStamp;
    CBrush m_brushBack;
    LARGE_INTEGER m_liStart{};
    LARGE_INTEGER m_liNow{};
    int m_nFrames = 0;
    float m_fFps = 0.0f;
    LARGE_INTEGER m_liFreq{};
    BOOL m_bHasPerfCounter = FALSE;
    CWinThread* m_pThread = nullptr;

    CJpegImage m_image;

private:
    // Exchanges one entry text with its member under the connection lock; maxChars validates.
    void ExchangeEntryText(CDataExchange* pDX, int nIDC, CString& member, int maxChars);
    // Starts the camera thread of a new connection; FALSE when it cannot be created.
    BOOL StartCameraThread();
    // Closes the earlier connection's socket and keeps its thread until it has ended.
    void RetireEarlierConnection();
    // Deletes the retired thread objects whose threads have ended (all of them when wait is TRUE).
    void ReapRetiredThreads(BOOL wait);
    // Back to the Disconnected state after a failed start.
    void AbandonConnect();

    // Guards what the dialog shares with the camera thread: the texts it connects with, the
    // connection ticket, the closing flag and the storing of the connection's socket.
    CCriticalSection m_connectionLock;
    DWORD m_nConnection = 0;  // ticket of the latest connection; guarded by m_connectionLock
    BOOL m_bClosing = FALSE;  // the dialog is being destroyed; guarded by m_connectionLock
    std::vector<std::unique_ptr<CWinThread>> m_retiredThreads;  // earlier connections' threads
    CString m_strViewText;  // the paint's text, kept so painting allocates nothing per frame
};
