// Bitmaps: creation, description and release of 32-bit bitmaps (and release of brushes).
#include <QImage>

#include "platform/gdi.h"
#include "platform/gdi/bitmap_buffers.h"
#include "platform/gdi/gdi_objects.h"

namespace gdi {

HBITMAP AdoptBitmapBuffer(QImage&& pixels) {
    if (pixels.isNull() || pixels.format() != QImage::Format_RGB32) return nullptr;
    auto lock = TableLock();
    return static_cast<HBITMAP>(AddObject(Bitmap{std::move(pixels), nullptr, false}));
}

}  // namespace gdi

/* CreateCompatibleBitmap: a new black 32-bit bitmap; the device context only has to be valid
   (or NULL for the screen), since every device here is 32-bit. */
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (hdc != nullptr) {
        auto lock = gdi::TableLock();
        if (gdi::Find<gdi::DeviceContext>(hdc) == nullptr) return nullptr;
    }
    QImage pixels = gdi::TakeBitmapBuffer(width, height);
    if (pixels.isNull()) return nullptr;
    pixels.fill(0xFF000000u);
    return gdi::AdoptBitmapBuffer(std::move(pixels));
}

/* GetObjectW: describes a bitmap (type 0, one plane, 32 bits per pixel, no bits pointer); with
   no buffer, the size a description needs. 0 for any other object or a short buffer. */
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject) {
    auto lock = gdi::TableLock();
    const gdi::Bitmap* bitmap = gdi::Find<gdi::Bitmap>(hgdiobj);
    if (bitmap == nullptr) return 0;
    if (lpvObject == nullptr) return static_cast<int>(sizeof(BITMAP));
    if (cbBuffer < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap->pixels.width();
    description.bmHeight = bitmap->pixels.height();
    description.bmWidthBytes = static_cast<LONG>(bitmap->pixels.bytesPerLine());
    description.bmPlanes = 1;
    description.bmBitsPixel = 32;
    description.bmBits = nullptr;
    *static_cast<BITMAP*>(lpvObject) = description;
    return static_cast<int>(sizeof(BITMAP));
}

/* DeleteObject: releases a bitmap that no device context holds selected, keeping its pixel
   buffer for the next bitmap of its size. Stock objects stay and give TRUE. FALSE for a
   selected bitmap, a device context or an unknown handle. */
BOOL DeleteObject(HGDIOBJ hObject) {
    QImage released;
    {
        auto lock = gdi::TableLock();
        gdi::Object* object = gdi::FindObject(hObject);
        if (object == nullptr) return FALSE;
        if (std::holds_alternative<gdi::Brush>(*object)) return TRUE;
        gdi::Bitmap* bitmap = std::get_if<gdi::Bitmap>(object);
        if (bitmap == nullptr || bitmap->selectedIn != nullptr) return FALSE;
        if (bitmap->stock) return TRUE;
        released = std::move(bitmap->pixels);
        gdi::RemoveObject(hObject);
    }
    gdi::RecycleBitmapBuffer(std::move(released));
    return TRUE;
}
