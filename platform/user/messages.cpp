// Sending messages: at once on the window's own thread, queued and waited for from another.
#include <algorithm>

#include "platform/user.h"
#include "platform/user/cross_thread.h"
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

/* SendMessageW: dispatches at once on the window's thread; from another thread the message is
   queued to that thread and the caller waits. 0 for a bad handle, and across threads for a
   window that is being destroyed (also when that starts while the caller waits). */
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

/* IsWindow: TRUE while the handle names a window that is not being destroyed. */
BOOL IsWindow(HWND hWnd) {
    std::shared_ptr<Window> window = platform_user::LookUpWindow(hWnd);
    if (window == nullptr) return FALSE;
    std::lock_guard<std::mutex> guard(window->lock);
    return window->destroying ? FALSE : TRUE;
}
