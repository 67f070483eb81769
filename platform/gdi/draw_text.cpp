// Text output: one unwrapped line at the top-left of a rectangle, in opaque cells.
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/gdi.h"
#include "platform/gdi/default_font.h"
#include "platform/gdi/device_pixels.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/glyph_table.h"

using namespace platform_gdi;

namespace {

// Mixes the text colour into one pixel by the glyph's coverage, as an antialiased pen does.
QRgb Blend(QRgb under, QRgb ink, unsigned coverage) {
    const unsigned rest = 255 - coverage;
    const auto mix = [&](unsigned shift) {
        const unsigned value =
            (((ink >> shift) & 0xFF) * coverage + ((under >> shift) & 0xFF) * rest + 127) / 255;
        return value << shift;
    };
    return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

// The text colour mixed into the background colour at every coverage: most glyph pixels lie on
// the freshly filled cell, where a look-up replaces the mix.
struct Shades {
    QRgb ink = 0;
    QRgb back = 0;
    bool ready = false;
    std::array<QRgb, 256> over{};

    void Prepare(QRgb newInk, QRgb newBack) {
        if (ready && newInk == ink && newBack == back) return;
        ready = true;
        ink = newInk;
        back = newBack;
        for (unsigned coverage = 0; coverage < over.size(); ++coverage) {
            over[coverage] = Blend(back, ink, coverage);
        }
    }
};

// Draws each glyph of the line from its mask, its pen rounded to a quarter pixel, clipped.
void BlendGlyphs(QImage& surface, const QRect& clip, GlyphTable& table, const GlyphLine& line,
                 QPoint origin, const Shades& shades) {
    uchar* const bits = surface.bits();
    for (size_t i = 0; i < line.characters.size(); ++i) {
        const double quarters = std::round(line.pens[i] * GlyphTable::kPhases);
        const int whole = static_cast<int>(std::floor(quarters / GlyphTable::kPhases));
        const int phase = static_cast<int>(quarters) - whole * GlyphTable::kPhases;
        const GlyphMask& mask = table.Mask(line.characters[i], phase);
        const QRect placed(origin.x() + whole + mask.left, origin.y() + mask.top, mask.width,
                           mask.height);
        const QRect area = placed & clip;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(bits + y * surface.bytesPerLine());
            const uint8_t* coverage =
                mask.coverage.data() + static_cast<size_t>(y - placed.top()) * mask.width;
            for (int x = area.left(); x <= area.right(); ++x) {
                const unsigned alpha = coverage[x - placed.left()];
                if (alpha == 0) continue;
                row[x] =
                    row[x] == shades.back ? shades.over[alpha] : Blend(row[x], shades.ink, alpha);
            }
        }
    }
}

// Draws glyphs through a painter at the surface's resolution, in the text colour, clipped to
// device pixels. The painter works on the surface's pixels without its ratio, so that the clip is
// exact; its scale then puts the system's coordinates onto them.
template <class Draw>
void PaintGlyphs(QImage& surface, const QRect& clip, QRgb ink, Draw draw) {
    const qreal ratio = surface.devicePixelRatio();
    QImage pixels(surface.bits(), surface.width(), surface.height(), surface.bytesPerLine(),
                  surface.format());
    QPainter painter(&pixels);
    painter.setClipRect(clip);
    if (ratio != 1) painter.scale(ratio, ratio);
    painter.setPen(QColor(ink));
    draw(painter);
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
    const qsizetype length = nCount == -1 ? std::char_traits<char16_t>::length(lpString) : nCount;
    const QStringView text(lpString, length);

    auto lock = ObjectLock();
    DeviceContext* dc = Lookup<DeviceContext>(hDC);
    if (dc == nullptr) return 0;
    QImage* surface = DrawingSurface(*dc);
    if (surface == nullptr) return 0;

    // Text of the table's characters is drawn from its masks; any other goes through the
    // shaper, which can also take characters from fallback fonts. On a surface with a device
    // pixel ratio the masks, made for the system's pixels, give way to a painter.
    thread_local GlyphTable table;
    thread_local GlyphLine line;
    const qreal ratio = surface->devicePixelRatio();
    const QRect clip = VisiblePart(DeviceEdges(*lpRect, ratio), surface->rect());
    const QRgb ink = ToPixel(dc->textColor);
    const QRgb back = ToPixel(dc->backColor);
    // The text's cell, advance by height from the rectangle's corner, in device pixels.
    const auto Cell = [&](int64_t width, int64_t height) {
        const Edges cell = {DeviceEdge(lpRect->left, ratio), DeviceEdge(lpRect->top, ratio),
                            DeviceEdge(lpRect->left + width, ratio),
                            DeviceEdge(lpRect->top + height, ratio)};
        return VisiblePart(cell, clip);
    };
    if (table.Lay(text, line)) {
        if (!text.isEmpty() && clip.isValid()) {
            const auto width = static_cast<int64_t>(std::ceil(line.width));
            FillPixels(*surface, Cell(width, table.Height()), back);
            if (ratio == 1) {
                thread_local Shades shades;
                shades.Prepare(ink, back);
                BlendGlyphs(*surface, clip, table, line, QPoint(lpRect->left, lpRect->top), shades);
            } else {
                PaintGlyphs(*surface, clip, ink, [&](QPainter& painter) {
                    painter.drawGlyphRun(QPointF(lpRect->left, lpRect->top), table.Run(line));
                });
            }
        }
        return table.Height();
    }
    const QFont font = DefaultFont();
    const QFontMetrics metrics(font);
    if (!text.isEmpty() && clip.isValid()) {
        const QString shaped = text.toString();
        FillPixels(*surface, Cell(metrics.horizontalAdvance(shaped), metrics.height()), back);
        PaintGlyphs(*surface, clip, ink, [&](QPainter& painter) {
            painter.setFont(font);
            painter.drawText(QPointF(lpRect->left, lpRect->top + metrics.ascent()), shaped);
        });
    }
    return metrics.height();
}
