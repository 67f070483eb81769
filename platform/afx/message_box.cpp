// The framework's message boxes: captioned with the application's name, over its main window.
#include "platform/afx.h"

namespace {

LPCWSTR Caption() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_pszAppName : nullptr;
}

LPCWSTR StringResource(UINT id) {
    for (int i = 0; i < afxResourceTable.stringCount; ++i) {
        if (afxResourceTable.strings[i].id == id) return afxResourceTable.strings[i].text;
    }
    return nullptr;
}

}  // namespace

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
    (void)nIDHelp;  // the platform has no help system
    return MessageBoxW(nullptr, lpszText, Caption(), nType);
}

/* AfxMessageBox: the string resource's text; 0 when the program has no such string. */
int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    LPCWSTR text = StringResource(nIDPrompt);
    if (text == nullptr) return 0;
    return AfxMessageBox(text, nType, nIDHelp);
}
