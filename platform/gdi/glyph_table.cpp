#include "platform/gdi/glyph_table.h"

#include "platform/gdi/default_font.h"

namespace gdi {

GlyphTable::GlyphTable() : m_font(QRawFont::fromFont(DefaultFont())) {}

bool GlyphTable::Lay(QStringView text, GlyphLine& line) {
    line.glyphs.resize(text.size());
    line.positions.resize(text.size());
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
        line.glyphs[i] = glyph.index;
        line.positions[i] = QPointF(line.width, 0);
        line.width += glyph.advance;
    }
    return true;
}

}  // namespace gdi
