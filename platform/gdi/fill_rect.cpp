// Filling rectangles with a brush.
#include "platform/gdi.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"

using namespace platform_gdi;

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (lprc == nullptr) return 0;
    auto lock = ObjectLock();
    DeviceContext* dc = Lookup<DeviceContext>(hDC);
    const Brush* brush = Lookup<Brush>(hbr);
    if (dc == nullptr || brush == nullptr) return 0;
    QImage* surface = DrawingSurface(*dc);
    if (surface == nullptr) return 0;
    FillPixels(*surface,
               VisiblePart(DeviceEdges(*lprc, surface->devicePixelRatio()), surface->rect()),
               ToPixel(brush->color));
    return 1;
}
