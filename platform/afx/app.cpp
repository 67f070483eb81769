// The application object and the framework's application-wide services.
#include "platform/afx.h"
#include "platform/afx/resource_strings.h"

namespace {

CWinApp* g_app = nullptr;

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
    return platform_afx::FindStringResource(AFX_IDS_APP_TITLE);
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
