// Text output: one unwrapped line at the top-left of a rectangle, in opaque cells.
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>

#include "platform/gdi.h"
#include "platform/gdi/default_font.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"

namespace {

qsizetype UnitsUpToZero(LPCWSTR text) {
    qsizetype length = 0;
    while (text[length] != 0) ++length;
    return length;
}

// The part of a rectangle (device edges, right and bottom exclusive) that lies on the surface.
QRect VisiblePart(const gdi::Edges& rect, const QRect& surface) {
    const int64_t left = std::max<int64_t>(rect.left, surface.left());
    const int64_t top = std::max<int64_t>(rect.top, surface.top());
    const int64_t right = std::min<int64_t>(rect.right, int64_t{surface.right()} + 1);
    const int64_t bottom = std::min<int64_t>(rect.bottom, int64_t{surface.bottom()} + 1);
    if (left >= right || top >= bottom) return QRect();
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

// Fills a rectangle that lies on the surface with one pixel value.
void FillPixels(QImage& surface, const QRect& area, QRgb pixel) {
    uchar* const bits = surface.bits();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(bits + y * surface.bytesPerLine()) + area.left();
        std::fill(row, row + area.width(), pixel);
    }
}

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

/* DrawTextW: format 0 only (top-left, one line, no wrap). The text's own extent (its advance
   by the font's height) is filled with the background colour and the glyphs are drawn on it in
   the text colour, all clipped to the rectangle; on a surface with a device pixel ratio, at the
   surface's resolution. Returns the font's height; 0 on failure. */
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, RECT* lpRect, UINT uFormat) {
    if (lpString == nullptr || lpRect == nullptr || nCount < -1 || uFormat != (DT_LEFT | DT_TOP)) {
        return 0;
    }
    const qsizetype length = nCount == -1 ? UnitsUpToZero(lpString) : nCount;
    const QStringView text(lpString, length);

    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hDC);
    if (dc == nullptr) return 0;
    QImage* surface = gdi::DrawingSurface(*dc);
    if (surface == nullptr) return 0;

    // Each character at its own advance after the one before, as the device's text output
    // draws: no kerning.
    QFont font = gdi::DefaultFont();
    font.setKerning(false);
    const QFontMetrics metrics(font);
    const qreal ratio = surface->devicePixelRatio();
    const QRect clip = VisiblePart(gdi::DeviceEdges(*lpRect, ratio), surface->rect());
    // The text's cell, advance by height from the rectangle's corner, in device pixels.
    const auto Cell = [&](int64_t width, int64_t height) {
        const gdi::Edges cell = {gdi::DeviceEdge(lpRect->left, ratio),
                                 gdi::DeviceEdge(lpRect->top, ratio),
                                 gdi::DeviceEdge(lpRect->left + width, ratio),
                                 gdi::DeviceEdge(lpRect->top + height, ratio)};
        return VisiblePart(cell, clip);
    };
    if (!text.isEmpty() && clip.isValid()) {
        const QString shaped = text.toString();
        FillPixels(*surface, Cell(metrics.horizontalAdvance(shaped), metrics.height()),
                   gdi::ToPixel(dc->backColor));
        PaintText(*surface, clip, gdi::ToPixel(dc->textColor), font,
                  QPointF(lpRect->left, lpRect->top + metrics.ascent()), shaped);
    }
    return metrics.height();
}
