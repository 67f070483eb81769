// Block copies between device contexts.
#include "platform/gdi.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stretch_copy.h"

namespace {

BOOL Copy(HDC hdcDest, gdi::Block to, HDC hdcSrc, gdi::Block from, DWORD dwRop) {
    if (dwRop != SRCCOPY) return FALSE;
    auto lock = gdi::TableLock();
    gdi::DeviceContext* target = gdi::Find<gdi::DeviceContext>(hdcDest);
    gdi::DeviceContext* origin = gdi::Find<gdi::DeviceContext>(hdcSrc);
    if (target == nullptr || origin == nullptr) return FALSE;
    QImage* destination = gdi::DrawingSurface(*target);
    const QImage* source = gdi::DrawingSurface(*origin);
    if (destination == nullptr || source == nullptr) return FALSE;
    // Each block is in the pixels of its own device context: a window's surface may have a
    // device pixel ratio, a bitmap has none.
    gdi::StretchCopy(*destination, gdi::DeviceBlock(to, destination->devicePixelRatio()), *source,
                     gdi::DeviceBlock(from, source->devicePixelRatio()));
    return TRUE;
}

}  // namespace

/* BitBlt: copies the block unscaled (onto a surface with a device pixel ratio, enlarged by it);
   parts outside either surface are skipped. */
BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc,
            int nYSrc, DWORD dwRop) {
    return Copy(hdcDest, {nXDest, nYDest, nWidth, nHeight}, hdcSrc, {nXSrc, nYSrc, nWidth, nHeight},
                dwRop);
}

/* StretchBlt: maps the whole source block onto the destination block by nearest pixel, without
   smoothing; a negative extent on one side only mirrors that axis. */
BOOL StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest,
                HDC hdcSrc, int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc,
                DWORD dwRop) {
    return Copy(hdcDest, {nXOriginDest, nYOriginDest, nWidthDest, nHeightDest}, hdcSrc,
                {nXOriginSrc, nYOriginSrc, nWidthSrc, nHeightSrc}, dwRop);
}
