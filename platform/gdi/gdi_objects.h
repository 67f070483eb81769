// The GDI objects a handle names: bitmaps, brushes and device contexts, in one handle table.
// The objects' fields are guarded by one state lock: every function below that takes or returns
// an object, and every use of it, must be under ObjectLock().
#pragma once

#include <QImage>
#include <memory>
#include <mutex>
#include <variant>

#include "platform/gdi.h"
#include "platform/kernel/handle_table.h"

namespace platform_gdi {

struct Bitmap {
    QImage pixels;             // Format_RGB32
    HDC selectedIn = nullptr;  // the memory device context that holds it selected
    bool stock = false;
};

struct Brush {
    COLORREF color = 0;  // every brush is a stock brush
};

struct DeviceContext {
    QImage* surface = nullptr;  // the image drawn on; null for a memory device context
    HWND window = nullptr;      // on a surface: the window it was got for, if any
    HBITMAP bitmap = nullptr;   // memory: the selected bitmap
    HBRUSH brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);

    bool IsMemory() const { return surface == nullptr; }
};

using Object = std::variant<Bitmap, Brush, DeviceContext>;

std::unique_lock<std::mutex> ObjectLock();

/* The table of every live object; the stock objects come first and are never removed. */
platform_kernel::HandleTable<Object>& Objects();

/* The object of kind T a handle names, or null for a closed handle or another kind. */
template <class T>
T* Lookup(const void* handle) {
    const std::shared_ptr<Object> object = Objects().Find(reinterpret_cast<uintptr_t>(handle));
    // The table keeps the object alive until it is removed, which takes the state lock.
    return object != nullptr ? std::get_if<T>(object.get()) : nullptr;
}

/* Adds an object; its new handle, or null when none is left. */
void* AddObject(Object object);

/* The 1 x 1 bitmap a memory device context holds while no other is selected. */
HBITMAP DefaultBitmap();

/* The pixels a device context draws on; nullptr when it has none. */
QImage* DrawingSurface(DeviceContext& dc);

inline QRgb ToPixel(COLORREF color) {
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

}  // namespace platform_gdi
