// Text output: one unwrapped line at the top-left of a rectangle, in opaque cells.
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/gdi.h"
#include "platform/gdi/default_font.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/glyph_table.h"

namespace {

qsizetype UnitsUpToZero(LPCWSTR text) {
    qsizetype length = 0;
    while (text[length] != 0) ++length;
    return length;
}

// The part of a rectangle (right and bottom exclusive) that lies on the surface.
QRect VisiblePart(const RECT& rect, const QRect& surface) {
    const int64_t left = std::max<int64_t>(rect.left, surface.left());
    const int64_t top = std::max<int64_t>(rect.top, surface.top());
    const int64_t right = std::min<int64_t>(rect.right, int64_t{surface.right()} + 1);
    const int64_t bottom = std::min<int64_t>(rect.bottom, int64_t{surface.bottom()} + 1);
    if (left >= right || top >= bottom) return QRect();
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

}  // namespace

/* DrawTextW: format 0 only (top-left, one line, no wrap). The text's own extent (its advance
   by the font's height) is filled with the background colour and the glyphs are drawn on it in
   the text colour, all clipped to the rectangle. Returns the font's height; 0 on failure. */
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, RECT* lpRect, UINT uFormat) {
    if (lpString == nullptr || lpRect == nullptr || nCount < -1 || uFormat != (DT_LEFT | DT_TOP)) {
        return 0;
    }
    const qsizetype length = nCount == -1 ? UnitsUpToZero(lpString) : nCount;
    const QString text = QString::fromUtf16(lpString, length);

    auto lock = gdi::TableLock();
    gdi::DeviceContext* dc = gdi::Find<gdi::DeviceContext>(hDC);
    if (dc == nullptr) return 0;
    QImage* surface = gdi::DrawingSurface(*dc);
    if (surface == nullptr) return 0;

    const QFont font = gdi::DefaultFont();
    const QFontMetrics metrics(font);
    const QRect clip = VisiblePart(*lpRect, surface->rect());
    if (!text.isEmpty() && clip.isValid()) {
        const int left = lpRect->left;
        const int top = lpRect->top;
        const QColor back(gdi::ToPixel(dc->backColor));
        QPainter painter(surface);
        painter.setClipRect(clip);
        painter.setPen(QColor(gdi::ToPixel(dc->textColor)));

        // Text of the table's characters is drawn from its glyphs; any other goes through the
        // shaper, which can also take characters from fallback fonts.
        thread_local gdi::GlyphTable table;
        thread_local gdi::GlyphLine line;
        if (table.Lay(text, line)) {
            const int width = static_cast<int>(std::ceil(line.width));
            painter.fillRect(QRect(left, top, width, metrics.height()), back);
            QGlyphRun run;
            run.setRawFont(table.Font());
            run.setGlyphIndexes(line.glyphs);
            run.setPositions(line.positions);
            painter.drawGlyphRun(QPointF(left, top + metrics.ascent()), run);
        } else {
            painter.fillRect(QRect(left, top, metrics.horizontalAdvance(text), metrics.height()),
                             back);
            painter.setFont(font);
            painter.drawText(QPoint(left, top + metrics.ascent()), text);
        }
    }
    return metrics.height();
}
