// Filling rectangles with a brush.
#include <algorithm>

#include "platform/gdi.h"
#include "platform/gdi/gdi_objects.h"

/* FillRect: fills left..right-1 by top..bottom-1, clipped to the surface; an empty or inverted
   rectangle fills nothing. 0 for a bad device context, rectangle or brush. */
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (lprc == nullptr) return 0;
    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hDC);
    const gdi::Brush* brush = gdi::Find<gdi::Brush>(hbr);
    if (dc == nullptr || brush == nullptr) return 0;
    QImage* surface = gdi::DrawingSurface(*dc);
    if (surface == nullptr) return 0;
    const int left = std::max<LONG>(lprc->left, 0);
    const int right = std::min<LONG>(lprc->right, surface->width());
    const int top = std::max<LONG>(lprc->top, 0);
    const int bottom = std::min<LONG>(lprc->bottom, surface->height());
    const QRgb pixel = gdi::ToPixel(brush->color);
    for (int y = top; y < bottom && left < right; ++y) {
        auto* row = reinterpret_cast<QRgb*>(surface->scanLine(y));
        std::fill(row + left, row + right, pixel);
    }
    return 1;
}
