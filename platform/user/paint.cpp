// Painting: device contexts on a window's client surface, and invalidation, which schedules one
// paint of the widget (Qt coalesces them); the paint of a dialog draws on its client surface
// through the device context of BeginPaint.
#include "platform/gdi/image_dc.h"
#include "platform/user.h"
#include "platform/user/thread_mailbox.h"
#include "platform/user/window.h"
#include "platform/user/window_surface.h"

QImage* GetWindowSurface(HWND hWnd) {
    std::shared_ptr<platform_user::Window> window = platform_user::OwnedWindow(hWnd);
    return window == nullptr ? nullptr : window->windowClass->Surface();
}

HDC GetDC(HWND hWnd) {
    return CreateImageDC(GetWindowSurface(hWnd), hWnd);
}

int ReleaseDC(HWND hWnd, HDC hDC) {
    return hWnd != nullptr && DeleteImageDC(hDC, hWnd) ? 1 : 0;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    (void)lpRect, (void)bErase;
    std::shared_ptr<platform_user::Window> window = platform_user::LookUpWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (window->thread == std::this_thread::get_id()) {
        if (QWidget* widget = window->windowClass->Widget()) widget->update();
        return TRUE;
    }
    // From another thread the request goes to the window's thread, whose widget it is.
    std::lock_guard<std::mutex> guard(window->lock);
    if (window->destroying || window->mailbox == nullptr) return FALSE;
    platform_user::PostWork(window->mailbox, [hWnd] { InvalidateRect(hWnd, nullptr, FALSE); });
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
    if (lpPaint == nullptr) return nullptr;
    *lpPaint = PAINTSTRUCT{};
    QImage* surface = GetWindowSurface(hWnd);
    if (surface == nullptr) return nullptr;
    lpPaint->hdc = CreateImageDC(surface);
    lpPaint->fErase = FALSE;
    // The client area in the system's pixels, whatever the surface's device pixel ratio.
    const QSize client = surface->deviceIndependentSize().toSize();
    lpPaint->rcPaint = RECT{0, 0, client.width(), client.height()};
    return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    (void)hWnd;
    if (lpPaint != nullptr && lpPaint->hdc != nullptr) DeleteImageDC(lpPaint->hdc);
    return TRUE;
}
