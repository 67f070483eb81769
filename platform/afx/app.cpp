// The application object and the framework's application-wide services: its name, string
// resources, message boxes and sockets.
#include "platform/afx.h"

namespace {

CWinApp* g_app = nullptr;

// The text of string resource id, NULL when the program has none.
LPCWSTR FindStringResource(UINT id) {
    const AFX_RESOURCE_TABLE& table = AfxGetResourceTable();
    for (int i = 0; i < table.stringCount; ++i) {
        if (table.strings[i].id == id) return table.strings[i].text;
    }
    return nullptr;
}

}  // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIconW(nullptr, MAKEINTRESOURCE(nIDResource));
}

CWinApp* AfxGetApp() {
    return g_app;
}

LPCWSTR AfxGetAppName() {
    if (g_app != nullptr && g_app->m_pszAppName != nullptr) return g_app->m_pszAppName;
    return FindStringResource(AFX_IDS_APP_TITLE);
}

// Captioned with the application's name; the platform has no help system.
int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
    return MessageBoxW(nullptr, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    LPCWSTR text = FindStringResource(nIDPrompt);
    if (text == nullptr) return 0;
    return AfxMessageBox(text, nType, nIDHelp);
}

BOOL AfxSocketInit(WSADATA* lpwsaData) {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return FALSE;
    if (lpwsaData != nullptr) *lpwsaData = data;
    return TRUE;
}

void AfxEnableControlContainer(void* pOccManager) {
    (void)pOccManager;
}
