// The main dialog's construction, message table, data exchange, initialisation and the
// accessors of the camera thread.
#include "dialog/pemblar_dlg.h"

#include "camera/camera_thread.h"
#include "common/trace.h"
#include "history/connection_history.h"

namespace {

// The port is parsed from at most as many characters as the port entry accepts.
const int kPortTextChars = HISTORY_PORT_MAX_CHARS;
const int kViewWidth = 230;
const int kViewHeight = 172;

// The text of the list's item 0; the empty text for an empty list.
CString FirstItemText(const CComboBox& list) {
    CString text;
    if (list.GetCount() > 0) {
        list.GetLBText(0, text);
    }
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPemblarDlg, CDialog)
ON_WM_DESTROY()
ON_WM_PAINT()
ON_BN_CLICKED(IDC_BUTTON_CONNECT, &CPemblarDlg::OnConnect)
ON_BN_CLICKED(IDC_BUTTON_CLEAR, &CPemblarDlg::OnRegistryClear)
ON_MESSAGE(WM_IMAGE_ARRIVED, &CPemblarDlg::OnImageArrived)
END_MESSAGE_MAP()

CPemblarDlg::CPemblarDlg(CWnd* pParent) : CDialog(CPemblarDlg::IDD, pParent) {
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                          : LoadIconW(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME));
}

CPemblarDlg::~CPemblarDlg() = default;

void CPemblarDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMBO_PORT, m_comboPort);
    DDX_Control(pDX, IDC_COMBO_IP, m_comboIP);
    DDX_Control(pDX, IDC_BUTTON_CONNECT, m_btnConnect);
    ExchangeEntryText(pDX, IDC_COMBO_IP, m_strIP, HISTORY_IP_MAX_CHARS);
    ExchangeEntryText(pDX, IDC_COMBO_PORT, m_strPort, HISTORY_PORT_MAX_CHARS);
}

void CPemblarDlg::ExchangeEntryText(CDataExchange* pDX, int nIDC, CString& member, int maxChars) {
    // The exchange works on a copy so that the lock is never held while the framework shows its
    // validation message; the member changes in one locked assignment.
    CString value;
    {
        CSingleLock lock(&m_connectionLock);
        value = member;
    }
    DDX_Text(pDX, nIDC, value);
    if (pDX->m_bSaveAndValidate) {
        CSingleLock lock(&m_connectionLock);
        member = value;
    }
    DDV_MaxChars(pDX, value, maxChars);
}

BOOL CPemblarDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    CenterWindow();

    m_bRunning = FALSE;
    m_bLoading = TRUE;
    m_socket = 0;
    m_bConnected = FALSE;
    m_bTrying = FALSE;
    m_strLastStamp.Empty();
    m_strStamp.Empty();
    m_brushBack.Attach(GetStockObject(WHITE_BRUSH));
    m_pThread = nullptr;
    m_nViewHeight = kViewHeight;
    m_bFirstFrame = TRUE;
    m_nFrames = 0;
    m_fFps = 0.0f;
    m_nViewWidth = kViewWidth;
    UpdateData(FALSE);

    {
        CSingleLock lock(&m_connectionLock);
        m_strID.Empty();
        m_strPassword.Empty();
    }
    m_bSavePassword = FALSE;

    if (QueryPerformanceFrequency(&m_liFreq)) {
        m_bHasPerfCounter = TRUE;
    } else {
        TraceMessage(
            u"The system does not have a performance counter.\r\nSo Frame rate can't be "
            u"displayed.");
        m_bHasPerfCounter = FALSE;
    }

    if (LoadIpPortControlFromRegistry()) {
        CString ip = FirstItemText(m_comboIP);
        CString port = FirstItemText(m_comboPort);
        {
            CSingleLock lock(&m_connectionLock);
            m_strIP = ip;
            m_strPort = port;
        }
        UpdateData(FALSE);
    }
    return TRUE;
}

// ---- accessors of the camera thread ----------------------------------------------------------

HWND CPemblarDlg::GetNotifyWindow() {
    return m_hWnd;
}

DWORD CPemblarDlg::GetConnectionTicket() {
    CSingleLock lock(&m_connectionLock);
    return m_nConnection;
}

BOOL CPemblarDlg::IsCurrentConnection(DWORD ticket) {
    CSingleLock lock(&m_connectionLock);
    return ticket == m_nConnection && !m_bClosing;
}

CString CPemblarDlg::GetCameraHost() {
    CString ip;
    {
        CSingleLock lock(&m_connectionLock);
        ip = m_strIP;
    }
    const int colon = ip.Find(u':');
    return colon < 0 ? ip : ip.Left(colon);
}

int CPemblarDlg::GetCameraPort(CString* portText) {
    UpdateData(FALSE);
    {
        CSingleLock lock(&m_connectionLock);
        *portText = m_strPort.Left(kPortTextChars);
    }
    char text[kPortTextChars + 1] = {};
    wcstombs(text, *portText, kPortTextChars);
    return atoi(text);
}

BOOL CPemblarDlg::IsRunning() {
    return m_bRunning;
}

CString CPemblarDlg::GetID() {
    CSingleLock lock(&m_connectionLock);
    return m_strID;
}

CString CPemblarDlg::GetPassword() {
    CSingleLock lock(&m_connectionLock);
    return m_strPassword;
}

BOOL CPemblarDlg::SetSocket(DWORD ticket, SOCKET s) {
    // A socket made after the dialog began closing, or after a later Connect, is refused: the
    // thread closes it and ends rather than block where nothing would wake it.
    CSingleLock lock(&m_connectionLock);
    if (ticket != m_nConnection || m_bClosing) {
        return FALSE;
    }
    m_socket = s;
    return TRUE;
}

void CPemblarDlg::SetConnected(DWORD ticket, BOOL value) {
    CSingleLock lock(&m_connectionLock);
    if (ticket == m_nConnection) {
        m_bConnected = value;
    }
}

void CPemblarDlg::SetTrying(DWORD ticket, BOOL value) {
    CSingleLock lock(&m_connectionLock);
    if (ticket == m_nConnection) {
        m_bTrying = value;
    }
}

void CPemblarDlg::SetFirstFrame(DWORD ticket, BOOL value) {
    CSingleLock lock(&m_connectionLock);
    if (ticket == m_nConnection) {
        m_bFirstFrame = value;
    }
}
