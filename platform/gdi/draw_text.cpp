// Text output: one unwrapped line at the top-left of a rectangle, in opaque cells.
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <string>

#include "platform/gdi.h"
#include "platform/gdi/default_font.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"

using namespace platform_gdi;

namespace {

// Draws text through a painter at the surface's resolution, in the text colour, clipped to
// device pixels. The painter works on the surface's pixels without its ratio, so that the clip is
// exact; its scale then puts the system's coordinates onto them.
void PaintText(QImage& surface, const QRect& clip, QRgb ink, const QFont& font, QPointF baseline,
               const QString& text) {
    const qreal ratio = surface.devicePixelRatio();
    QImage pixels(surface.bits(), surface.width(), surface.height(), surface.bytesPerLine(),
                  surface.format());
    QPainter painter(&pixels);
    painter.setClipRect(clip);
    if (ratio != 1) painter.scale(ratio, ratio);
    painter.setPen(QColor(ink));
    painter.setFont(font);
    painter.drawText(baseline, text);
}

}  // namespace

int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, RECT* lpRect, UINT uFormat) {
    if (lpString == nullptr || lpRect == nullptr || nCount < -1 || uFormat != (DT_LEFT | DT_TOP)) {
        return 0;
    }
    const qsizetype length = nCount == -1 ? std::char_traits<char16_t>::length(lpString) : nCount;
    const QStringView text(lpString, length);

    auto lock = ObjectLock();
    DeviceContext* dc = Lookup<DeviceContext>(hDC);
    if (dc == nullptr) return 0;
    QImage* surface = DrawingSurface(*dc);
    if (surface == nullptr) return 0;

    // Each character at its own advance after the one before, as the device's text output
    // draws: no kerning.
    QFont font = DefaultFont();
    font.setKerning(false);
    const QFontMetrics metrics(font);
    const qreal ratio = surface->devicePixelRatio();
    const QRect clip = VisiblePart(DeviceEdges(*lpRect, ratio), surface->rect());
    // The text's cell, advance by height from the rectangle's corner, in device pixels.
    const auto Cell = [&](int64_t width, int64_t height) {
        const Edges cell = {DeviceEdge(lpRect->left, ratio), DeviceEdge(lpRect->top, ratio),
                            DeviceEdge(lpRect->left + width, ratio),
                            DeviceEdge(lpRect->top + height, ratio)};
        return VisiblePart(cell, clip);
    };
    if (!text.isEmpty() && clip.isValid()) {
        const QString shaped = text.toString();
        FillPixels(*surface, Cell(metrics.horizontalAdvance(shaped), metrics.height()),
                   ToPixel(dc->backColor));
        PaintText(*surface, clip, ToPixel(dc->textColor), font,
                  QPointF(lpRect->left, lpRect->top + metrics.ascent()), shaped);
    }
    return metrics.height();
}
