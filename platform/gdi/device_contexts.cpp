// Device contexts: memory ones, and ones drawing on an image owned elsewhere.
#include "platform/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/image_dc.h"

using namespace platform_gdi;

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

HDC AddDeviceContext(QImage* surface, HWND window) {
    DeviceContext dc;
    dc.surface = surface;
    dc.window = window;
    dc.bitmap = surface == nullptr ? DefaultBitmap() : nullptr;
    dc.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return static_cast<HDC>(AddObject(dc));
}

// Removes a memory device context (surface false) or one on a surface got for that window.
bool RemoveDeviceContext(HDC hdc, bool surface, HWND window) {
    auto lock = ObjectLock();
    DeviceContext* dc = Lookup<DeviceContext>(hdc);
    if (dc == nullptr || dc->IsMemory() == surface || dc->window != window) return false;
    if (auto* selected = Lookup<Bitmap>(dc->bitmap); selected != nullptr && !selected->stock) {
        selected->selectedIn = nullptr;
    }
    Objects().Remove(reinterpret_cast<uintptr_t>(hdc));
    return true;
}

}  // namespace

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc != nullptr) {
        auto lock = ObjectLock();
        if (Lookup<DeviceContext>(hdc) == nullptr) return nullptr;
    }
    return AddDeviceContext(nullptr, nullptr);
}

BOOL DeleteDC(HDC hdc) {
    return RemoveDeviceContext(hdc, false, nullptr);
}

HDC CreateImageDC(QImage* target, HWND window) {
    if (!IsDrawableSurface(target)) return nullptr;
    return AddDeviceContext(target, window);
}

BOOL DeleteImageDC(HDC hdc, HWND window) {
    return RemoveDeviceContext(hdc, true, window);
}
