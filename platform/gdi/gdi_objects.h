// The table of GDI objects: every bitmap, brush and device context that a handle names.
// Handles are table keys that are never reused, so a stale or made-up handle finds nothing and
// the call fails cleanly. The table is guarded by one mutex; every function below that takes or
// returns table entries must be called with TableLock() held.
#pragma once

#include <QImage>
#include <mutex>
#include <variant>

#include "platform/gdi.h"

namespace gdi {

struct Bitmap {
    QImage pixels;             // Format_RGB32
    HDC selectedIn = nullptr;  // the memory device context that holds it selected
    bool stock = false;
};

struct Brush {
    COLORREF color = 0;  // every brush is a stock brush
};

enum class DcKind {
    Memory,  // draws on its selected bitmap
    Window,  // from GetDC: draws on a window's client surface
    Image,   // from CreateImageDC: draws on an image owned elsewhere
};

struct DeviceContext {
    DcKind kind = DcKind::Memory;
    HWND window = nullptr;      // Window: the window it was got for
    QImage* surface = nullptr;  // Window and Image: the pixels drawn on
    HBITMAP bitmap = nullptr;   // Memory: the selected bitmap
    HBRUSH brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
};

using Object = std::variant<Bitmap, Brush, DeviceContext>;

std::unique_lock<std::mutex> TableLock();

// Adds an object and returns its new handle.
void* AddObject(Object object);
// The object a handle names, or nullptr.
Object* FindObject(const void* handle);
// Removes the object a handle names (nothing for an unknown handle).
void RemoveObject(const void* handle);

template <class T>
T* Find(const void* handle) {
    Object* object = FindObject(handle);
    return object != nullptr ? std::get_if<T>(object) : nullptr;
}

// The 1 x 1 bitmap a memory device context holds while no other is selected.
HBITMAP DefaultBitmap();

// The pixels a device context draws on; nullptr when it has none.
QImage* DrawingSurface(DeviceContext& dc);

// Live objects by kind, stock objects excluded.
int CountBitmaps();
int CountDeviceContexts();

inline QRgb ToPixel(COLORREF color) {
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

}  // namespace gdi
