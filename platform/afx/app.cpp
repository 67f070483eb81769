// The application object and the framework's application-wide services.
#include "platform/afx.h"

namespace {

// The name the framework gives an application that names none: the program's module name.
const WCHAR kDefaultAppName[] = u"Pemblar";

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_pszAppName(lpszAppName != nullptr ? lpszAppName : kDefaultAppName) {
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

void AfxEnableControlContainer(void* pOccManager) {
    (void)pOccManager;
}
