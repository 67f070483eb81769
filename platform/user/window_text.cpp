// Window text, controls of a dialog and the client rectangle.
#include "platform/user.h"
#include "platform/user/cross_thread.h"
#include "platform/user/window.h"

/* SetWindowTextW: sends WM_SETTEXT; a dialog's caption, a control's text, a combo box's entry. */
BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0 ? TRUE
                                                                                      : FALSE;
}

/* GetWindowTextLengthW: sends WM_GETTEXTLENGTH; 0 for a bad handle. */
int GetWindowTextLengthW(HWND hWnd) {
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

/* GetWindowTextW: sends WM_GETTEXT; the units copied, without the terminator. */
int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    lpString[0] = u'\0';
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

/* GetDlgItem: the dialog's control with that id (the first in template order); NULL if none. */
HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    std::shared_ptr<platform_user::Window> dialog = platform_user::LookUpWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    auto find = [hDlg, nIDDlgItem]() -> LRESULT {
        std::shared_ptr<platform_user::Window> owned = platform_user::OwnedWindow(hDlg);
        if (owned == nullptr) return 0;
        for (HWND child : owned->children) {
            std::shared_ptr<platform_user::Window> control = platform_user::OwnedWindow(child);
            if (control != nullptr && control->id == nIDDlgItem) {
                return reinterpret_cast<LRESULT>(child);
            }
        }
        return 0;
    };
    LRESULT found = 0;
    if (dialog->thread == std::this_thread::get_id()) {
        found = find();
    } else if (!platform_user::CallOnWindowThread(dialog, find, &found)) {
        return nullptr;
    }
    return reinterpret_cast<HWND>(found);
}

/* GetClientRect: 0, 0 and the size of the window's widget (empty for a window without one);
   FALSE for a bad handle or a window of another thread. */
BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    std::shared_ptr<platform_user::Window> window = platform_user::OwnedWindow(hWnd);
    if (window == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = RECT{0, 0, 0, 0};
    if (QWidget* widget = window->windowClass->Widget()) {
        lpRect->right = widget->width();
        lpRect->bottom = widget->height();
    }
    return TRUE;
}
