// Messages: dispatch on the window's own thread, sends queued and waited for from another, the
// platform's default handling, and the window calls built on them.
#include <algorithm>

#include "platform/user.h"
#include "platform/user/window.h"

namespace platform_user {

LRESULT Dispatch(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                 LPARAM lParam) {
    // The caller's reference keeps the window's procedure alive should the handler destroy it.
    if (window->procedure) return window->procedure(window->handle, message, wParam, lParam);
    return DefaultWindowProcedure(window->handle, message, wParam, lParam);
}

LRESULT DefaultWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<Window> window = OwnedWindow(hWnd);
    if (window == nullptr) return 0;
    LRESULT result = 0;
    if (window->windowClass->HandleMessage(message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_SETTEXT: {
            const auto* text = reinterpret_cast<LPCWSTR>(lParam);
            window->windowClass->SetText(text == nullptr ? std::u16string() : std::u16string(text));
            return TRUE;
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(window->windowClass->Text().size());
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            const auto capacity = static_cast<size_t>(wParam);
            if (buffer == nullptr || capacity == 0) return 0;
            const std::u16string text = window->windowClass->Text();
            const size_t copied = std::min(text.size(), capacity - 1);
            std::copy_n(text.data(), copied, buffer);
            buffer[copied] = u'\0';
            return static_cast<LRESULT>(copied);
        }
        case WM_PAINT: {
            // Nothing draws: the paint is simply validated.
            PAINTSTRUCT ps;
            BeginPaint(hWnd, &ps);
            EndPaint(hWnd, &ps);
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace platform_user

using platform_user::Window;

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<Window> window = platform_user::LookUpWindow(hWnd);
    if (window == nullptr) return 0;
    if (window->thread == std::this_thread::get_id()) {
        return platform_user::Dispatch(window, Msg, wParam, lParam);
    }
    LRESULT result = 0;
    const bool delivered = platform_user::SendOnWindowThread(window, Msg, wParam, lParam, &result);
    return delivered ? result : 0;
}

BOOL IsWindow(HWND hWnd) {
    std::shared_ptr<Window> window = platform_user::LookUpWindow(hWnd);
    if (window == nullptr) return FALSE;
    std::lock_guard<std::mutex> guard(window->lock);
    return window->destroying ? FALSE : TRUE;
}

BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0 ? TRUE
                                                                                      : FALSE;
}

int GetWindowTextLengthW(HWND hWnd) {
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    lpString[0] = u'\0';
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    std::shared_ptr<Window> dialog = platform_user::LookUpWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    // The controls are the dialog thread's: another thread asks that thread.
    auto find = [dialog, nIDDlgItem]() -> LRESULT {
        for (HWND child : dialog->children) {
            std::shared_ptr<Window> control = platform_user::OwnedWindow(child);
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

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    std::shared_ptr<Window> window = platform_user::OwnedWindow(hWnd);
    if (window == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = RECT{0, 0, 0, 0};
    if (QWidget* widget = window->windowClass->Widget()) {
        lpRect->right = widget->width();
        lpRect->bottom = widget->height();
    }
    return TRUE;
}
