// CWnd: a framework object over a window handle.
#include "platform/afx.h"
#include "platform/afx/framework.h"
#include "platform/user/dialog_window.h"
#include "platform/user/message_box.h"
#include "platform/user/window.h"

namespace platform_afx {

platform_user::WindowProcedure FrameworkProcedure(CWnd* pWnd) {
    return [pWnd](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
        if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) pWnd->m_hWnd = nullptr;
        return result;
    };
}

int CopyText(int length, const std::function<int(LPWSTR, int)>& copy, CString& rString) {
    if (length < 0) return -1;
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const int copied = copy(text.data(), length + 1);
    if (copied < 0) return copied;
    text.resize(static_cast<size_t>(copied));
    rString = CString(std::move(text));
    return copied;
}

CString WindowText(HWND hWnd) {
    CString text;
    CopyText(
        ::GetWindowTextLengthW(hWnd),
        [hWnd](LPWSTR buffer, int size) { return ::GetWindowTextW(hWnd, buffer, size); }, text);
    return text;
}

}  // namespace platform_afx

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    std::shared_ptr<platform_user::Window> window = platform_user::LookUpWindow(m_hWnd);
    if (window != nullptr && window->frameworkObject == this) ::DestroyWindow(m_hWnd);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    std::shared_ptr<platform_user::Window> window = platform_user::LookUpWindow(m_hWnd);
    if (window == nullptr) return FALSE;
    if (window->thread != std::this_thread::get_id()) {
        LRESULT result = FALSE;
        const bool ran = platform_user::CallOnWindowThread(
            window, [this, bSaveAndValidate]() -> LRESULT { return UpdateData(bSaveAndValidate); },
            &result);
        return ran && result != FALSE ? TRUE : FALSE;
    }
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return exchange.Failed() ? FALSE : TRUE;
}

void CWnd::SetWindowText(LPCWSTR lpszString) {
    ::SetWindowTextW(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const {
    rString = platform_afx::WindowText(m_hWnd);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    platform_user::CenterWindowOver(m_hWnd,
                                    pAlternateOwner == nullptr ? nullptr : pAlternateOwner->m_hWnd);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    std::shared_ptr<platform_user::Window> control =
        platform_user::OwnedWindow(::GetDlgItem(m_hWnd, nID));
    if (control == nullptr) return nullptr;
    if (control->attachment == nullptr) {
        auto wrapper = std::make_shared<CWnd>();
        wrapper->m_hWnd = control->handle;
        control->attachment = std::move(wrapper);
    }
    return static_cast<CWnd*>(control->attachment.get());
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::DestroyWindow() {
    // This object may be the wrapper of a control, released with the control's window object:
    // the reference keeps it until the call returns.
    std::shared_ptr<platform_user::Window> keep = platform_user::LookUpWindow(m_hWnd);
    const HWND hWnd = m_hWnd;
    // The application's main window is the one it names now, however late it named it.
    CWinApp* app = AfxGetApp();
    if (keep != nullptr && app != nullptr && app->m_pMainWnd == this) {
        platform_user::SetApplicationMainWindow(hWnd);
    }
    const BOOL destroyed = ::DestroyWindow(hWnd);
    if (destroyed && m_hWnd == hWnd) m_hWnd = nullptr;
    return destroyed;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT outerMessage = m_nCurrentMessage;
    const WPARAM outerWParam = m_wParamCurrent;
    const LPARAM outerLParam = m_lParamCurrent;
    m_nCurrentMessage = message;
    m_wParamCurrent = wParam;
    m_lParamCurrent = lParam;
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = platform_user::DefaultWindowProcedure(m_hWnd, message, wParam, lParam);
    }
    m_nCurrentMessage = outerMessage;
    m_wParamCurrent = outerWParam;
    m_lParamCurrent = outerLParam;
    return result;
}

void CWnd::DoDataExchange(CDataExchange* pDX) {
    (void)pDX;
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnDestroy() {
    Default();
}

LRESULT CWnd::Default() {
    return platform_user::DefaultWindowProcedure(m_hWnd, m_nCurrentMessage, m_wParamCurrent,
                                                 m_lParamCurrent);
}
