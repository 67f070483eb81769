// Device contexts: memory ones, a window's, and ones drawing on an image owned elsewhere.
#include "platform/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/image_dc.h"
#include "platform/user/window_surface.h"

namespace {

bool IsDrawableSurface(const QImage* image) {
    if (image == nullptr || image->isNull()) return false;
    switch (image->format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            return true;
        default:
            return false;
    }
}

HDC AddDeviceContext(gdi::DcKind kind, HWND window, QImage* surface) {
    gdi::DeviceContext dc;
    dc.kind = kind;
    dc.window = window;
    dc.surface = surface;
    dc.bitmap = kind == gdi::DcKind::Memory ? gdi::DefaultBitmap() : nullptr;
    dc.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    auto lock = gdi::TableLock();
    return static_cast<HDC>(gdi::AddObject(dc));
}

// Removes a device context of the given kind (and, for a window's, of that window).
bool RemoveDeviceContext(HDC hdc, gdi::DcKind kind, HWND window) {
    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hdc);
    if (dc == nullptr || dc->kind != kind || dc->window != window) return false;
    if (gdi::Bitmap* selected = gdi::Find<gdi::Bitmap>(dc->bitmap);
        selected != nullptr && !selected->stock) {
        selected->selectedIn = nullptr;
    }
    gdi::RemoveObject(hdc);
    return true;
}

}  // namespace

/* GetDC: a device context on the window's client surface; NULL when the window has none. */
HDC GetDC(HWND hWnd) {
    QImage* surface = GetWindowSurface(hWnd);
    if (!IsDrawableSurface(surface)) return nullptr;
    return AddDeviceContext(gdi::DcKind::Window, hWnd, surface);
}

/* ReleaseDC: 1 when hDC came from GetDC for this window (and is now released), else 0. */
int ReleaseDC(HWND hWnd, HDC hDC) {
    return hWnd != nullptr && RemoveDeviceContext(hDC, gdi::DcKind::Window, hWnd) ? 1 : 0;
}

/* CreateCompatibleDC: a memory device context holding the 1 x 1 stock bitmap; hdc is NULL (the
   screen) or a live device context. NULL for a bad hdc. */
HDC CreateCompatibleDC(HDC hdc) {
    if (hdc != nullptr) {
        auto lock = gdi::TableLock();
        if (gdi::Find<gdi::DeviceContext>(hdc) == nullptr) return nullptr;
    }
    return AddDeviceContext(gdi::DcKind::Memory, nullptr, nullptr);
}

/* DeleteDC: releases a memory device context; its selected bitmap is deselected and survives.
   FALSE for any other handle. */
BOOL DeleteDC(HDC hdc) {
    return RemoveDeviceContext(hdc, gdi::DcKind::Memory, nullptr);
}

/* CreateImageDC: a device context drawing on a 32-bit image the caller keeps alive. */
HDC CreateImageDC(QImage* target) {
    if (!IsDrawableSurface(target)) return nullptr;
    return AddDeviceContext(gdi::DcKind::Image, nullptr, target);
}

/* DeleteImageDC: releases a device context from CreateImageDC. */
BOOL DeleteImageDC(HDC hdc) {
    return RemoveDeviceContext(hdc, gdi::DcKind::Image, nullptr);
}
