// Test seams of the user family: bare windows, the window and waiting-sender counts and the
// message box answerer.
#include "platform/testing/hooks.h"
#include "platform/user/user_seams.h"
#include "platform/user/window.h"

namespace platform_testing {

HWND CreateTestWindow(std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)> proc) {
    const std::shared_ptr<platform_user::Window> window = platform_user::NewWindow(u"test");
    if (window == nullptr) return nullptr;
    window->windowClass = std::make_unique<platform_user::WindowClass>();
    if (proc) {
        window->procedure = [proc = std::move(proc)](HWND, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
            return proc(message, wParam, lParam);
        };
    }
    return window->handle;
}

int LiveWindowCount() {
    return platform_user::WindowCount();
}

int WaitingSendCount(HWND hWnd) {
    const std::shared_ptr<platform_user::Window> window = platform_user::LookUpWindow(hWnd);
    if (window == nullptr) return 0;
    std::lock_guard<std::mutex> guard(window->lock);
    return static_cast<int>(window->pending.size());
}

void SetMessageBoxAnswerer(std::function<int(const std::u16string& text, UINT type)> answerer) {
    platform_user::g_messageBoxAnswerer.Set(std::move(answerer));
}

}  // namespace platform_testing
