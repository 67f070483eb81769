// The login dialog: everything but the exchange of its three values is the framework's.
#include "dialog/login_dlg.h"

BEGIN_MESSAGE_MAP(CLoginDlg, CDialog)
END_MESSAGE_MAP()

CLoginDlg::CLoginDlg(CWnd* pParent) : CDialog(CLoginDlg::IDD, pParent) {}

CLoginDlg::~CLoginDlg() = default;

INT_PTR CLoginDlg::DoModal() { return CDialog::DoModal(); }

void CLoginDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_ID, m_strID);
    DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
    DDX_Check(pDX, IDC_CHECK_SAVE_PASSWORD, m_bSavePassword);
}
