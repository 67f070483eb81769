// The login dialog: the ID and password of the next connection and the Save Password choice.
#pragma once

#include "platform/windows.h"
#include "res/resource.h"

class CLoginDlg : public CDialog {
public:
    explicit CLoginDlg(CWnd* pParent = nullptr);
    ~CLoginDlg() override;

    enum { IDD = IDD_LOGIN };

    CString m_strID;
    CString m_strPassword;
    BOOL m_bSavePassword = FALSE;

    INT_PTR DoModal() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()
};
