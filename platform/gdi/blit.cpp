// Block copies between device contexts.
#include "platform/gdi.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stretch_copy.h"

using namespace platform_gdi;

namespace {

BOOL Copy(HDC hdcDest, Block to, HDC hdcSrc, Block from, DWORD dwRop) {
    if (dwRop != SRCCOPY) return FALSE;
    auto lock = ObjectLock();
    DeviceContext* target = Lookup<DeviceContext>(hdcDest);
    DeviceContext* origin = Lookup<DeviceContext>(hdcSrc);
    if (target == nullptr || origin == nullptr) return FALSE;
    QImage* destination = DrawingSurface(*target);
    const QImage* source = DrawingSurface(*origin);
    if (destination == nullptr || source == nullptr) return FALSE;
    // Each block is in the pixels of its own device context: a window's surface may have a
    // device pixel ratio, a bitmap has none.
    StretchCopy(*destination, DeviceBlock(to, destination->devicePixelRatio()), *source,
                DeviceBlock(from, source->devicePixelRatio()));
    return TRUE;
}

}  // namespace

BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc,
            int nYSrc, DWORD dwRop) {
    return Copy(hdcDest, {nXDest, nYDest, nWidth, nHeight}, hdcSrc, {nXSrc, nYSrc, nWidth, nHeight},
                dwRop);
}

BOOL StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest,
                HDC hdcSrc, int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc,
                DWORD dwRop) {
    return Copy(hdcDest, {nXOriginDest, nYOriginDest, nWidthDest, nHeightDest}, hdcSrc,
                {nXOriginSrc, nYOriginSrc, nWidthSrc, nHeightSrc}, dwRop);
}
