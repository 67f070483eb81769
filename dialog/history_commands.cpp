// The main dialog's connection-history commands: load at start, add on Connect, save at exit
// and the clear button.
#include "dialog/pemblar_dlg.h"
#include "history/connection_history.h"

BOOL CPemblarDlg::LoadIpPortControlFromRegistry() {
    return LoadConnectionHistory(m_comboIP, m_comboPort);
}

void CPemblarDlg::AddCurrentToHistory() {
    CString ip;
    CString port;
    {
        CSingleLock lock(&m_connectionLock);
        ip = m_strIP;
        port = m_strPort;
    }
    AddToHistory(m_comboIP, ip);
    AddToHistory(m_comboPort, port);
}

void CPemblarDlg::SaveIpPortControlToRegistry() {
    SaveConnectionHistory(m_comboIP, m_comboPort);
}

void CPemblarDlg::OnRegistryClear() {
    if (!ClearStoredHistory()) {
        return;
    }
    m_comboIP.ResetContent();
    m_comboPort.ResetContent();
    UpdateData(FALSE);
}
