// Painting: invalidation schedules one paint of the widget (Qt coalesces them); the paint of a
// dialog draws on its client surface through the device context of BeginPaint.

#include "platform/gdi/image_dc.h"
#include "platform/user.h"
#include "platform/user/thread_mailbox.h"
#include "platform/user/window.h"
#include "platform/user/window_surface.h"

/* GetWindowSurface: the client surface of a top-level dialog on its own thread; NULL otherwise. */
QImage* GetWindowSurface(HWND hWnd) {
    std::shared_ptr<platform_user::Window> window = platform_user::OwnedWindow(hWnd);
    return window == nullptr ? nullptr : window->windowClass->Surface();
}

/* InvalidateRect: schedules one paint of the whole window (the rectangle and the erase flag
   are accepted and ignored: a paint never erases). From another thread the request is queued
   to the window's thread. FALSE for a bad handle. */
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    (void)lpRect, (void)bErase;
    std::shared_ptr<platform_user::Window> window = platform_user::LookUpWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (window->thread == std::this_thread::get_id()) {
        if (QWidget* widget = window->windowClass->Widget()) widget->update();
        return TRUE;
    }
    std::lock_guard<std::mutex> guard(window->lock);
    if (window->destroying || window->mailbox == nullptr) return FALSE;
    platform_user::PostWork(window->mailbox, [hWnd] { InvalidateRect(hWnd, nullptr, FALSE); });
    return TRUE;
}

/* BeginPaint: a device context on the window's client surface for the paint in progress; the
   whole client area is to be painted and nothing was erased. NULL for a window without one. */
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

/* EndPaint: releases the paint's device context; what was drawn shows when the paint that
   dispatched WM_PAINT copies the surface to the screen. */
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    (void)hWnd;
    if (lpPaint != nullptr && lpPaint->hdc != nullptr) DeleteImageDC(lpPaint->hdc);
    return TRUE;
}
