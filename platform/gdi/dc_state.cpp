// The state of a device context: selected objects, colours and capabilities.
#include <utility>

#include "platform/gdi.h"
#include "platform/gdi/gdi_objects.h"

namespace {

HGDIOBJ SelectBitmap(HDC hdc, gdi::DeviceContext& dc, HBITMAP hbm, gdi::Bitmap& incoming) {
    if (dc.kind != gdi::DcKind::Memory) return nullptr;  // only memory DCs hold bitmaps
    if (!incoming.stock && incoming.selectedIn != nullptr && incoming.selectedIn != hdc) {
        return nullptr;  // a bitmap is selected in one device context at a time
    }
    HBITMAP previous = dc.bitmap;
    if (gdi::Bitmap* outgoing = gdi::Find<gdi::Bitmap>(previous);
        outgoing != nullptr && !outgoing->stock) {
        outgoing->selectedIn = nullptr;
    }
    if (!incoming.stock) incoming.selectedIn = hdc;
    dc.bitmap = hbm;
    return previous;
}

}  // namespace

/* SelectObject: a bitmap goes into a memory device context only, and only while no other
   device context holds it; a brush goes into any. Returns the object it replaced. */
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj) {
    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hdc);
    if (dc == nullptr) return nullptr;
    if (gdi::Bitmap* bitmap = gdi::Find<gdi::Bitmap>(hgdiobj)) {
        return SelectBitmap(hdc, *dc, static_cast<HBITMAP>(hgdiobj), *bitmap);
    }
    if (gdi::Find<gdi::Brush>(hgdiobj) != nullptr) {
        HBRUSH previous = dc->brush;
        dc->brush = static_cast<HBRUSH>(hgdiobj);
        return previous;
    }
    return nullptr;
}

/* GetDeviceCaps: 32 bits per pixel for any live device context; 0 otherwise. */
int GetDeviceCaps(HDC hdc, int nIndex) {
    auto lock = gdi::TableLock();
    if (gdi::Find<gdi::DeviceContext>(hdc) == nullptr) return 0;
    return nIndex == BITSPIXEL ? 32 : 0;
}

namespace {

// Sets one colour of the device context; the previous one, or CLR_INVALID for a bad context.
COLORREF ReplaceColor(HDC hdc, COLORREF gdi::DeviceContext::*color, COLORREF crColor) {
    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hdc);
    if (dc == nullptr) return CLR_INVALID;
    return std::exchange(dc->*color, crColor);
}

}  // namespace

/* SetTextColor: the previous text colour; CLR_INVALID for a bad device context. */
COLORREF SetTextColor(HDC hdc, COLORREF crColor) {
    return ReplaceColor(hdc, &gdi::DeviceContext::textColor, crColor);
}

/* SetBkColor: the previous background colour; CLR_INVALID for a bad device context. */
COLORREF SetBkColor(HDC hdc, COLORREF crColor) {
    return ReplaceColor(hdc, &gdi::DeviceContext::backColor, crColor);
}
