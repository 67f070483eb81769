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

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        typedef baseClass TheBaseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, AfxSig_end, nullptr }                                                              \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define AFX_VV(fn) static_cast<AFX_PMSG>(static_cast<void (CWnd::*)()>(fn))
// A handler taking the message parameters is stored, bit for bit, as a pointer to a CCmdTarget
// member and copied back into exactly its own type when it is called.
typedef LRESULT (CCmdTarget::*AFX_PMSG_LWL)(WPARAM, LPARAM);
#define AFX_LWL(fn) std::bit_cast<AFX_PMSG>(static_cast<AFX_PMSG_LWL>(fn))

#define ON_WM_PAINT() {WM_PAINT, 0, 0, AfxSig_vv, AFX_VV(&ThisClass::OnPaint)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, AfxSig_vv, AFX_VV(&ThisClass::OnDestroy)},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, (UINT)(id), AfxSig_vv, AFX_VV(memberFxn)},
#define ON_COMMAND(id, memberFxn) ON_BN_CLICKED(id, memberFxn)
#define ON_MESSAGE(message, memberFxn) {(UINT)(message), 0, 0, AfxSig_lwl, AFX_LWL(memberFxn)},

class CObject {
public:
    virtual ~CObject() = default;
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

class CCmdTarget : public CObject {
public:
    /* OnWndMsg: runs the message's first handler in this class's table or a base's; TRUE with
     *pResult set when one ran. */
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    /* ~CWnd: destroys the window this object created (not a control it was attached to). */
    ~CWnd() override;

    operator HWND() const { return m_hWnd; }  // NOLINT(google-explicit-constructor)

    /* UpdateData: runs DoDataExchange (FALSE: members into controls, TRUE: controls into members,
       validated), on the window's thread, waiting for it from another; FALSE when a validation
       failed or the window is gone or being destroyed. */
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    /* SetWindowText, GetWindowText: the window's text (a control's label or entry). */
    void SetWindowText(LPCWSTR lpszString);
    void GetWindowText(CString& rString) const;
    /* SetIcon: sets the big or small icon; returns the previous one. */
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    /* CenterWindow: centres the window over its owner, or over the desktop when it has none. */
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    /* Invalidate: schedules a paint of the whole client area. */
    void Invalidate(BOOL bErase = TRUE);
    /* GetDlgItem: a wrapper for the child control, kept as long as the control lives; NULL when
       there is none or it belongs to another thread. */
    CWnd* GetDlgItem(int nID) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /* DestroyWindow: destroys the window; the object no longer names it; FALSE on failure. */
    BOOL DestroyWindow();

    /* WindowProc: every message of the window: the message table first, then Default. */
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /* DoDataExchange: exchanges the controls with the members; the base does nothing. */
    virtual void DoDataExchange(CDataExchange* pDX);

    afx_msg void OnPaint();
    afx_msg void OnDestroy();

protected:
    /* Default: the platform's handling of the message being handled. */
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

    /* PrepareCtrl: the control nIDC, remembered as the last one exchanged; NULL when absent. */
    HWND PrepareCtrl(int nIDC);
    /* Fail: ends the exchange at the current control, which gets the focus coming in; later
       exchanges of this pass do nothing. */
    void Fail();
    BOOL Failed() const { return m_bFailed; }
    HWND LastControl() const { return m_hWndLastControl; }

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bFailed = FALSE;
};

/* DDX_Control: attaches the control member to the dialog's control nIDC (once). */
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
/* DDX_Text: exchanges the text of an edit or of a combo box's entry with value. */
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
/* DDX_Check: exchanges a check box's state with value (ticked = TRUE). */
void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value);
/* DDV_MaxChars: going out, limits the last exchanged control to nChars; coming in, a longer value
   shows the framework's message and fails the exchange. */
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

class CComboBox : public CWnd {
public:
    int GetCount() const;
    /* GetLBText: copies item nIndex's text into rString; its length, or CB_ERR. */
    int GetLBText(int nIndex, CString& rString) const;
    /* AddString: adds an item at its sorted place; its index. */
    int AddString(LPCWSTR lpszString);
    /* ResetContent: removes every item and clears the entry. */
    void ResetContent();
    /* FindString: the first item after nStartAfter beginning with the text, in any case; CB_ERR. */
    int FindString(int nStartAfter, LPCWSTR lpszString) const;
};

class CButton : public CWnd {
public:
    /* GetCheck, SetCheck: the check box's state, BST_CHECKED or BST_UNCHECKED. */
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    /* DoModal: shows the dialog, owned by the main window when it has no parent, runs it until
       EndDialog and destroys it; IDOK, IDCANCEL, or -1 when it cannot be shown. */
    virtual INT_PTR DoModal();
    /* Create: the dialog modeless from its template (WM_INITDIALOG sent, shown when the template
       says WS_VISIBLE), living until DestroyWindow; FALSE on failure. */
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    /* OnInitDialog: runs UpdateData(FALSE); TRUE gives the focus to the first tab stop. */
    virtual BOOL OnInitDialog();
    /* OnOK: UpdateData(TRUE), and ends the dialog with IDOK only if it succeeds. */
    virtual void OnOK();
    /* OnCancel: ends the dialog with IDCANCEL. */
    virtual void OnCancel();
    /* EndDialog: ends the modal run with nResult once the current handler returns. */
    void EndDialog(int nResult);

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    DECLARE_MESSAGE_MAP()
};

class CDC {
public:
    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }  // NOLINT(google-explicit-constructor)
};

/* CPaintDC: the device context of one paint: BeginPaint when made, EndPaint when destroyed. */
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
    /* Attach: takes ownership of a GDI object; FALSE when one is held or hObject is NULL. */
    BOOL Attach(HGDIOBJ hObject);
    /* DeleteObject: deletes the held object (the platform keeps stock objects); FALSE when none
       is held. */
    BOOL DeleteObject();
};

class CBrush : public CGdiObject {
public:
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }  // NOLINT
};

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

/* CSingleLock: holds the lock for its own lifetime. */
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* pSect) : m_pSect(pSect) { m_pSect->Lock(); }
    ~CSingleLock() { m_pSect->Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection* m_pSect;
};

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;  // delete this object when the thread ends

    /* ~CWinThread: closes the thread handle; a thread still running goes on. */
    ~CWinThread() override;
    /* ResumeThread: the previous suspend count, as ResumeThread gives it. */
    DWORD ResumeThread();
    operator HANDLE() const { return m_hThread; }  // NOLINT(google-explicit-constructor)
};

/* AfxBeginThread: a worker thread running pfnThreadProc(pParam), suspended with CREATE_SUSPENDED
   (the priority is ignored); NULL when it cannot be created. */
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

class CWinApp : public CCmdTarget {
public:
    /* CWinApp: registers the one application object, named lpszAppName (see AfxGetAppName). */
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    /* InitInstance: start-up; the program ends when it returns (no application message loop). */
    virtual BOOL InitInstance();
    /* LoadIcon: an icon of the program's resources; NULL when it has none with that id. */
    HICON LoadIcon(UINT nIDResource) const;

    CWnd* m_pMainWnd = nullptr;
    LPCWSTR m_pszAppName;
};

/* AfxGetApp: the application object; NULL when none exists. */
CWinApp* AfxGetApp();
/* AfxGetAppName: the application's name: the one it was constructed with, else its
   AFX_IDS_APP_TITLE string; NULL when it has neither. */
LPCWSTR AfxGetAppName();

/* AfxMessageBox: shows a message box captioned with the application's name, owned by the main
   window, and returns the button pressed; from a worker thread it blocks only that thread. The
   help id is ignored. */
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
/* AfxMessageBox: the same with a string resource; 0 when the program has no such string. */
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

/* AfxSocketInit: starts the socket layer (Winsock 1.1), the start-up data into *lpwsaData when
   asked for; FALSE on failure. */
BOOL AfxSocketInit(WSADATA* lpwsaData = nullptr);

/* AfxEnableControlContainer: nothing (the program hosts no embedded controls). */
void AfxEnableControlContainer(void* pOccManager = nullptr);
