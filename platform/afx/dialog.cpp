// CDialog: dialogs made from the program's templates, run modally or created modeless.
#include "platform/afx.h"
#include "platform/afx/framework.h"
#include "platform/user/dialog_window.h"
#include "platform/user/message_box.h"

namespace {

// A dialog without a parent is owned by the application's main window (unless it is that one).
HWND OwnerFor(const CDialog& dialog, CWnd* pParentWnd) {
    if (pParentWnd != nullptr && pParentWnd->m_hWnd != nullptr) return pParentWnd->m_hWnd;
    CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_pMainWnd == nullptr || app->m_pMainWnd == &dialog) return nullptr;
    return app->m_pMainWnd->m_hWnd;
}

// Makes the dialog's window from the template and initialises it (WM_INITDIALOG); the template,
// or NULL when the window cannot be made.
const DLGTEMPLATE_RESOURCE* CreateFromTemplate(CDialog& dialog, UINT nIDTemplate,
                                               CWnd* pParentWnd) {
    if (dialog.m_hWnd != nullptr) return nullptr;
    const DLGTEMPLATE_RESOURCE* dialogTemplate = platform_user::FindDialogTemplate(nIDTemplate);
    if (dialogTemplate == nullptr) return nullptr;
    HWND hDlg =
        platform_user::CreateDialogWindow(*dialogTemplate, OwnerFor(dialog, pParentWnd),
                                          platform_afx::FrameworkProcedure(&dialog), &dialog);
    if (hDlg == nullptr) return nullptr;
    dialog.m_hWnd = hDlg;
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == &dialog) platform_user::SetApplicationMainWindow(hDlg);
    if (SendMessageW(hDlg, WM_INITDIALOG, 0, 0) != 0) platform_user::FocusFirstTabStop(hDlg);
    return dialogTemplate;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    if (CreateFromTemplate(*this, m_nIDTemplate, m_pParentWnd) == nullptr) return -1;
    const INT_PTR result = platform_user::RunModalDialog(m_hWnd);
    if (m_hWnd != nullptr) DestroyWindow();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    const DLGTEMPLATE_RESOURCE* dialogTemplate =
        CreateFromTemplate(*this, m_nIDTemplate, m_pParentWnd);
    if (dialogTemplate == nullptr) return FALSE;
    if (m_hWnd != nullptr && (dialogTemplate->style & WS_VISIBLE) != 0) {
        platform_user::ShowDialog(m_hWnd);
    }
    return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult) {
    platform_user::EndDialogWindow(m_hWnd, nResult);
}
