// The program's start-up: the socket layer, then the main dialog for the program's whole life.
#include "app/pemblar_app.h"

#include "dialog/pemblar_dlg.h"
#include "res/resources.h"

BEGIN_MESSAGE_MAP(CPemblarApp, CWinApp)
END_MESSAGE_MAP()

CPemblarApp::CPemblarApp() : CWinApp(nullptr) {
    AfxSetResourceTable(&kProgramResources);
}

// The one application object.
CPemblarApp theApp;

BOOL CPemblarApp::InitInstance() {
    if (!AfxSocketInit(nullptr)) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer(nullptr);

    CPemblarDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The dialog ends with this function: nothing may reach it through the application after.
    m_pMainWnd = nullptr;
    return FALSE;
}
