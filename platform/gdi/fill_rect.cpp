// Filling rectangles with a brush.
#include <algorithm>

#include "platform/gdi.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"

/* FillRect: fills left..right-1 by top..bottom-1 (on a surface with a device pixel ratio, the
   device pixels between the mapped edges), clipped to the surface; an empty or inverted rectangle
   fills nothing. 0 for a bad device context, rectangle or brush. */
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (lprc == nullptr) return 0;
    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hDC);
    const gdi::Brush* brush = gdi::Find<gdi::Brush>(hbr);
    if (dc == nullptr || brush == nullptr) return 0;
    QImage* surface = gdi::DrawingSurface(*dc);
    if (surface == nullptr) return 0;
    const gdi::Edges edges = gdi::DeviceEdges(*lprc, surface->devicePixelRatio());
    const auto within = [](int64_t edge, int size) {
        return static_cast<int>(std::clamp<int64_t>(edge, 0, size));
    };
    const int left = within(edges.left, surface->width());
    const int right = within(edges.right, surface->width());
    const int top = within(edges.top, surface->height());
    const int bottom = within(edges.bottom, surface->height());
    const QRgb pixel = gdi::ToPixel(brush->color);
    for (int y = top; y < bottom && left < right; ++y) {
        auto* row = reinterpret_cast<QRgb*>(surface->scanLine(y));
        std::fill(row + left, row + right, pixel);
    }
    return 1;
}
