// Control wrappers: combo boxes and buttons, by their messages.
#include "platform/afx.h"
#include "platform/afx/framework.h"

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0));
}

int CComboBox::GetLBText(int nIndex, CString& rString) const {
    const auto index = static_cast<WPARAM>(nIndex);
    const auto length = static_cast<int>(SendMessageW(m_hWnd, CB_GETLBTEXTLEN, index, 0));
    if (nIndex < 0 || length < 0) return CB_ERR;
    const HWND hWnd = m_hWnd;
    const int copied = platform_afx::CopyText(
        length,
        [hWnd, index](LPWSTR buffer, int) {
            return static_cast<int>(
                SendMessageW(hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer)));
        },
        rString);
    return copied < 0 ? CB_ERR : copied;
}

int CComboBox::AddString(LPCWSTR lpszString) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}

void CComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT, 0, 0);
}

int CComboBox::FindString(int nStartAfter, LPCWSTR lpszString) const {
    return static_cast<int>(SendMessageW(m_hWnd, CB_FINDSTRING,
                                         static_cast<WPARAM>(static_cast<INT_PTR>(nStartAfter)),
                                         reinterpret_cast<LPARAM>(lpszString)));
}

int CButton::GetCheck() const {
    return static_cast<int>(SendMessageW(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int nCheck) {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}
