// Data exchange between a dialog's controls and its members, with the length validation.
#include "platform/afx.h"
#include "platform/afx/framework.h"
#include "platform/user/dialog_window.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
        platform_user::FocusControl(m_hWndLastControl);
    }
    m_bFailed = TRUE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (pDX->Failed()) return;
    if (rControl.m_hWnd == nullptr || !IsWindow(rControl.m_hWnd)) {
        rControl.m_hWnd = pDX->PrepareCtrl(nIDC);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    if (pDX->Failed()) return;
    HWND hCtl = pDX->PrepareCtrl(nIDC);
    if (hCtl == nullptr) return;
    if (!pDX->m_bSaveAndValidate) {
        SetWindowTextW(hCtl, value);
        return;
    }
    value = platform_afx::WindowText(hCtl);
}

void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value) {
    if (pDX->Failed()) return;
    HWND hCtl = pDX->PrepareCtrl(nIDC);
    if (hCtl == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = SendMessageW(hCtl, BM_GETCHECK, 0, 0) == BST_CHECKED ? TRUE : FALSE;
    } else {
        SendMessageW(hCtl, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->Failed()) return;
    if (!pDX->m_bSaveAndValidate) {
        HWND hCtl = pDX->LastControl();
        if (hCtl == nullptr) return;
        const UINT limit =
            platform_user::WindowClassName(hCtl) == u"combobox" ? CB_LIMITTEXT : EM_LIMITTEXT;
        SendMessageW(hCtl, limit, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.GetLength() > nChars) {
        CString prompt;
        prompt.Format(u"Please enter no more than %d characters.", nChars);
        AfxMessageBox(prompt, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
