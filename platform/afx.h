// The dialog framework: application object, windows and dialogs with message tables, data
// exchange, controls, paint and GDI object wrappers, worker threads and message boxes.
#pragma once

#include <bit>

#include "afxstr.h"
#include "gdi.h"
#include "kernel.h"
#include "resource_types.h"
#include "user.h"
#include "winsock.h"

#define afx_msg

class CCmdTarget;
class CWnd;
class CDataExchange;

// ---- message tables -------------------------------------------------------------------------

typedef void (CCmdTarget::*AFX_PMSG)();

enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_vv,   // void (void)
    AfxSig_lwl,  // LRESULT (WPARAM, LPARAM)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message
    UINT nCode;     // notification code (WM_COMMAND)
    UINT nID;       // control id (WM_COMMAND)
    UINT nSig;      // handler signature
    AFX_PMSG pfn;   // handler
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                   \
protected:                                      \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                               \
        using ThisClass [[maybe_unused]] = theClass;                                \
        typedef baseClass TheBaseClass;                                             \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                            \
    {0, 0, 0, AfxSig_end, nullptr}                                                   \
    }                                                                                \
    ;                                                                                \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                              \
    }

#define AFX_VV(fn) static_cast<AFX_PMSG>(static_cast<void (CWnd::*)()>(fn))
// A handler taking the message parameters is stored, bit for bit, as a pointer to a CCmdTarget
// member and copied back into exactly its own type when it is called.
typedef LRESULT (CCmdTarget::*AFX_PMSG_LWL)(WPARAM, LPARAM);
#define AFX_LWL(fn) std::bit_cast<AFX_PMSG>(static_cast<AFX_PMSG_LWL>(fn))

#define ON_WM_PAINT() {WM_PAINT, 0, 0, AfxSig_vv, AFX_VV(&ThisClass::OnPaint)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, AfxSig_vv, AFX_VV(&ThisClass::OnDestroy)},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, (UINT)(id), AfxSig_vv, AFX_VV(memberFxn)},
#define ON_COMMAND(id, memberFxn) ON_BN_CLICKED(id, memberFxn)
#define ON_MESSAGE(message, memberFxn) {(UINT)(message), 0, 0, AfxSig_lwl, AFX_LWL(memberFxn)},

// ---- objects --------------------------------------------------------------------------------

class CObject {
public:
    virtual ~CObject() = default;
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

class CCmdTarget : public CObject {
public:
    /* Walks the message table chain for the message; TRUE and *pResult set when a handler ran. */
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// ---- windows --------------------------------------------------------------------------------

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }  // NOLINT(google-explicit-constructor)

    /* Runs DoDataExchange: FALSE copies members into the controls, TRUE copies the controls into the
       members and validates. Off the window's thread it runs on that thread and waits (FALSE if the
       window is being destroyed). FALSE when a validation failed. */
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    /* Sets the window's text (a control's label or entry). */
    void SetWindowText(LPCWSTR lpszString);
    /* Reads the window's text. */
    void GetWindowText(CString& rString) const;
    /* Sets the big or small icon; returns the previous one. */
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    /* Centres the window over its owner, or over the desktop when it has none. */
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    /* Schedules a paint of the whole client area. */
    void Invalidate(BOOL bErase = TRUE);
    /* The child control with that id (a temporary wrapper), NULL when absent. */
    CWnd* GetDlgItem(int nID) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL DestroyWindow();

    /* Every message of the window arrives here: the message table first, then Default handling. */
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /* Exchanges the controls with the members; the base does nothing. */
    virtual void DoDataExchange(CDataExchange* pDX);

    /* Called when the window's handle is released. */
    virtual void PostNcDestroy() {}

    afx_msg void OnPaint();
    afx_msg void OnDestroy();

protected:
    /* The platform's handling of a message that no handler took. */
    LRESULT Default();
    DECLARE_MESSAGE_MAP()

private:
    // The message WindowProc is handling, for Default.
    UINT m_nCurrentMessage = 0;
    WPARAM m_wParamCurrent = 0;
    LPARAM m_lParamCurrent = 0;
};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls into members
    CWnd* m_pDlgWnd;          // the dialog whose controls are exchanged

    /* The control with that id, remembered as the last one exchanged; NULL when absent. */
    HWND PrepareCtrl(int nIDC);
    /* Ends the exchange at the current control: later exchanges of this pass do nothing. */
    void Fail();
    BOOL Failed() const { return m_bFailed; }
    HWND LastControl() const { return m_hWndLastControl; }

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bFailed = FALSE;
};

/* Attaches the control member to the dialog's control nIDC (once). */
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
/* Exchanges the text of an edit or of a combo box's entry with value. */
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
/* Exchanges a check box's state with value (ticked = TRUE). */
void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value);
/* Going out, limits the last exchanged control to nChars; coming in, a longer value shows the
   framework's message and fails the exchange. */
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

class CComboBox : public CWnd {
public:
    int GetCount() const;
    /* Copies item nIndex's text into rString; its length, or CB_ERR. */
    int GetLBText(int nIndex, CString& rString) const;
    /* Adds an item at its sorted place; its index. */
    int AddString(LPCWSTR lpszString);
    /* Removes every item and clears the entry. */
    void ResetContent();
    /* Index of the first item after nStartAfter that begins with the text, ignoring case; CB_ERR. */
    int FindString(int nStartAfter, LPCWSTR lpszString) const;
};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    /* Shows the dialog and runs it until EndDialog; IDOK, IDCANCEL, or -1 if it cannot be shown. */
    virtual INT_PTR DoModal();
    /* Creates the dialog modeless from its template (WM_INITDIALOG sent); FALSE on failure. The
       window lives until DestroyWindow. */
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    /* Runs UpdateData(FALSE); TRUE gives the focus to the first tab stop. */
    virtual BOOL OnInitDialog();
    /* UpdateData(TRUE), and ends the dialog with IDOK only if it succeeds. */
    virtual void OnOK();
    /* Ends the dialog with IDCANCEL. */
    virtual void OnCancel();
    /* Ends the modal run with nResult once the current handler returns. */
    void EndDialog(int nResult);

    UINT m_nIDHelp = 0;

protected:
    /* WM_INITDIALOG: runs OnInitDialog and returns its result. */
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    DECLARE_MESSAGE_MAP()
};

// ---- paint and GDI objects ------------------------------------------------------------------

class CDC {
public:
    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }  // NOLINT(google-explicit-constructor)
};

/* The device context of one paint: BeginPaint when made, EndPaint when destroyed. */
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

class CGdiObject : public CObject {
public:
    HGDIOBJ m_hObject = nullptr;
    ~CGdiObject() override;
    /* Takes ownership of a GDI object (a stock object is never deleted); FALSE when one is held. */
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    /* Deletes the held object. */
    BOOL DeleteObject();
};

class CBrush : public CGdiObject {
public:
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }  // NOLINT
};

// ---- synchronisation ------------------------------------------------------------------------

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    void Lock() { EnterCriticalSection(&m_sect); }
    void Unlock() { LeaveCriticalSection(&m_sect); }

private:
    CRITICAL_SECTION m_sect;
};

/* Holds the lock for its own lifetime. */
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* pSect) : m_pSect(pSect) { m_pSect->Lock(); }
    ~CSingleLock() { m_pSect->Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection* m_pSect;
};

// ---- threads --------------------------------------------------------------------------------

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;  // delete this object when the thread ends

    /* Closes the thread handle; the thread itself is not stopped. */
    ~CWinThread() override;
    DWORD ResumeThread();
    operator HANDLE() const { return m_hThread; }  // NOLINT(google-explicit-constructor)
};

/* Creates a worker thread running pfnThreadProc(pParam), suspended with CREATE_SUSPENDED; NULL when
   it cannot be created. */
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// ---- application ----------------------------------------------------------------------------

class CWinApp : public CCmdTarget {
public:
    /* Registers the one application object; NULL name gives the framework's default. */
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    /* Start-up; FALSE ends the program without an application message loop. */
    virtual BOOL InitInstance();
    /* Loads an icon of the program's resources. */
    HICON LoadIcon(UINT nIDResource) const;

    CWnd* m_pMainWnd = nullptr;
    LPCWSTR m_pszAppName;
};

/* The application object. */
CWinApp* AfxGetApp();

/* Shows a message box (owned by the main window) and returns the button pressed; from a worker
   thread it blocks only that thread. */
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
/* The same with a string resource. */
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

/* Initialises the socket layer (Winsock 1.1); FALSE on failure. */
BOOL AfxSocketInit(WSADATA* lpwsaData = nullptr);

/* Prepares hosting of embedded controls; the program hosts none, so nothing is needed. */
void AfxEnableControlContainer(void* pOccManager = nullptr);
