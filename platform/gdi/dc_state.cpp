// The state of a device context: selected objects, colours and capabilities.
#include <utility>

#include "platform/gdi.h"
#include "platform/gdi/gdi_objects.h"

using namespace platform_gdi;

namespace {

HGDIOBJ SelectBitmap(HDC hdc, DeviceContext& dc, HBITMAP hbm, Bitmap& incoming) {
    if (!dc.IsMemory()) return nullptr;  // only memory DCs hold bitmaps
    if (!incoming.stock && incoming.selectedIn != nullptr && incoming.selectedIn != hdc) {
        return nullptr;  // a bitmap is selected in one device context at a time
    }
    HBITMAP previous = dc.bitmap;
    if (Bitmap* outgoing = Lookup<Bitmap>(previous); outgoing != nullptr && !outgoing->stock) {
        outgoing->selectedIn = nullptr;
    }
    if (!incoming.stock) incoming.selectedIn = hdc;
    dc.bitmap = hbm;
    return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj) {
    auto lock = ObjectLock();
    DeviceContext* dc = Lookup<DeviceContext>(hdc);
    if (dc == nullptr) return nullptr;
    if (Bitmap* bitmap = Lookup<Bitmap>(hgdiobj)) {
        return SelectBitmap(hdc, *dc, static_cast<HBITMAP>(hgdiobj), *bitmap);
    }
    if (Lookup<Brush>(hgdiobj) != nullptr) {
        HBRUSH previous = dc->brush;
        dc->brush = static_cast<HBRUSH>(hgdiobj);
        return previous;
    }
    return nullptr;
}

int GetDeviceCaps(HDC hdc, int nIndex) {
    auto lock = ObjectLock();
    if (Lookup<DeviceContext>(hdc) == nullptr) return 0;
    return nIndex == BITSPIXEL ? 32 : 0;
}

namespace {

// Sets one colour of the device context; the previous one, or CLR_INVALID for a bad context.
COLORREF ReplaceColor(HDC hdc, COLORREF DeviceContext::*color, COLORREF crColor) {
    auto lock = ObjectLock();
    DeviceContext* dc = Lookup<DeviceContext>(hdc);
    if (dc == nullptr) return CLR_INVALID;
    return std::exchange(dc->*color, crColor);
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF crColor) {
    return ReplaceColor(hdc, &DeviceContext::textColor, crColor);
}

COLORREF SetBkColor(HDC hdc, COLORREF crColor) {
    return ReplaceColor(hdc, &DeviceContext::backColor, crColor);
}
