#include "platform/gdi/glyph_table.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "platform/gdi/default_font.h"

namespace platform_gdi {

GlyphTable::GlyphTable() : m_font(QRawFont::fromFont(DefaultFont())) {
    const QFontMetrics metrics(DefaultFont());
    m_height = metrics.height();
    m_ascent = metrics.ascent();
}

bool GlyphTable::Lay(QStringView text, GlyphLine& line) {
    line.characters.resize(static_cast<size_t>(text.size()));
    line.pens.resize(static_cast<size_t>(text.size()));
    line.width = 0;
    if (!m_font.isValid()) return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < kFirst || c > kLast) return false;
        Glyph& glyph = m_glyphs[c - kFirst];
        if (!glyph.looked) {
            glyph.looked = true;
            const QList<quint32> found = m_font.glyphIndexesForString(QString(QChar(c)));
            if (found.size() == 1) {
                glyph.index = found[0];
                glyph.advance = m_font.advancesForGlyphIndexes(found).value(0).x();
            }
        }
        // Glyph 0 is the font's "missing" glyph: such text goes to the shaper, which may find
        // the character in another font.
        if (glyph.index == 0) return false;
        line.characters[static_cast<size_t>(i)] = c;
        line.pens[static_cast<size_t>(i)] = line.width;
        line.width += glyph.advance;
    }
    return true;
}

QGlyphRun GlyphTable::Run(const GlyphLine& line) const {
    QList<quint32> indexes;
    QList<QPointF> positions;
    for (size_t i = 0; i < line.characters.size(); ++i) {
        indexes.append(m_glyphs[line.characters[i] - kFirst].index);
        positions.append(QPointF(line.pens[i], m_ascent));
    }
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    return run;
}

const GlyphMask& GlyphTable::Mask(char16_t character, int phase) {
    Glyph& glyph = m_glyphs[character - kFirst];
    if (!glyph.rasterised[phase]) {
        glyph.masks[phase] = Rasterise(glyph.index, phase);
        glyph.rasterised[phase] = true;
    }
    return glyph.masks[phase];
}

GlyphMask GlyphTable::Rasterise(quint32 index, int phase) const {
    // The cell holds the glyph's outline with a pixel to spare on each side for antialiasing
    // and the sub-pixel shift.
    const QRectF bounds = m_font.boundingRect(index);
    GlyphMask mask;
    if (bounds.isEmpty()) return mask;
    mask.left = static_cast<int>(std::floor(bounds.left())) - 1;
    mask.top = m_ascent + static_cast<int>(std::floor(bounds.top())) - 1;
    mask.width = static_cast<int>(std::ceil(bounds.right())) + 2 - mask.left;
    mask.height = m_ascent + static_cast<int>(std::ceil(bounds.bottom())) + 1 - mask.top;

    QImage cell(mask.width, mask.height, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    {
        QPainter painter(&cell);
        painter.setPen(Qt::white);
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setGlyphIndexes({index});
        run.setPositions({QPointF(0, 0)});
        const double pen = -mask.left + static_cast<double>(phase) / kPhases;
        painter.drawGlyphRun(QPointF(pen, m_ascent - mask.top), run);
    }
    mask.coverage.resize(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height));
    for (int y = 0; y < mask.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
        for (int x = 0; x < mask.width; ++x) {
            mask.coverage[static_cast<size_t>(y) * static_cast<size_t>(mask.width) +
                          static_cast<size_t>(x)] = static_cast<uint8_t>(qAlpha(row[x]));
        }
    }
    return mask;
}

}  // namespace platform_gdi
