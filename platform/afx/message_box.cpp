// The framework's message boxes: captioned with the application's name, over its main window.
#include "platform/afx.h"
#include "platform/afx/resource_strings.h"

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
    (void)nIDHelp;  // the platform has no help system
    return MessageBoxW(nullptr, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    LPCWSTR text = platform_afx::FindStringResource(nIDPrompt);
    if (text == nullptr) return 0;
    return AfxMessageBox(text, nType, nIDHelp);
}
