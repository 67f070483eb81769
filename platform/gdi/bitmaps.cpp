// Bitmaps: creation, description and release of 32-bit bitmaps (and release of brushes).
#include <QImage>

#include "platform/gdi.h"
#include "platform/gdi/bitmap_buffers.h"
#include "platform/gdi/gdi_objects.h"

using namespace platform_gdi;

namespace platform_gdi {

HBITMAP AdoptBitmapBuffer(QImage&& pixels) {
    if (pixels.isNull() || pixels.format() != QImage::Format_RGB32) return nullptr;
    return static_cast<HBITMAP>(AddObject(Bitmap{std::move(pixels), nullptr, false}));
}

}  // namespace platform_gdi

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (hdc != nullptr) {
        auto lock = ObjectLock();
        if (Lookup<DeviceContext>(hdc) == nullptr) return nullptr;
    }
    QImage pixels = TakeBitmapBuffer(width, height);
    if (pixels.isNull()) return nullptr;
    pixels.fill(0xFF000000u);
    return AdoptBitmapBuffer(std::move(pixels));
}

int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject) {
    auto lock = ObjectLock();
    const Bitmap* bitmap = Lookup<Bitmap>(hgdiobj);
    if (bitmap == nullptr) return 0;
    if (lpvObject == nullptr) return static_cast<int>(sizeof(BITMAP));
    if (cbBuffer < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP description{};
    description.bmWidth = bitmap->pixels.width();
    description.bmHeight = bitmap->pixels.height();
    description.bmWidthBytes = static_cast<LONG>(bitmap->pixels.bytesPerLine());
    description.bmPlanes = 1;
    description.bmBitsPixel = 32;
    *static_cast<BITMAP*>(lpvObject) = description;
    return static_cast<int>(sizeof(BITMAP));
}

BOOL DeleteObject(HGDIOBJ hObject) {
    QImage released;
    {
        auto lock = ObjectLock();
        if (Lookup<Brush>(hObject) != nullptr) return TRUE;
        Bitmap* bitmap = Lookup<Bitmap>(hObject);
        if (bitmap == nullptr || bitmap->selectedIn != nullptr) return FALSE;
        if (bitmap->stock) return TRUE;
        released = std::move(bitmap->pixels);
        Objects().Remove(reinterpret_cast<uintptr_t>(hObject));
    }
    // The buffer serves the next bitmap of its size.
    RecycleBitmapBuffer(std::move(released));
    return TRUE;
}
