// The default font's glyphs by character, for drawing a line of text without shaping it.
#pragma once

#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QStringView>
#include <array>

namespace gdi {

/* One line of text laid out glyph by glyph, each character at its own advance after the one
   before (no kerning, no ligatures, as the device's text output draws). */
struct GlyphLine {
    QList<quint32> glyphs;
    QList<QPointF> positions;  // each glyph's pen position on the baseline, from 0
    qreal width = 0;
};

/* The default font's glyphs for the characters U+0020..U+00FF, looked up on first use. The
   frame view draws two changing texts per frame; laying them out from this table spares the
   text shaper that work. Use on one thread (the font's glyphs are that thread's). */
class GlyphTable {
public:
    GlyphTable();

    /* Lays the text out into `line` (reusing its storage); false when a character is outside
       the table's range or the font has no glyph for it. */
    bool Lay(QStringView text, GlyphLine& line);
    /* The raw font the glyphs belong to. */
    const QRawFont& Font() const { return m_font; }

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
        bool looked = false;
    };
    static constexpr char16_t kFirst = 0x20;
    static constexpr char16_t kLast = 0xFF;

    QRawFont m_font;
    std::array<Glyph, kLast - kFirst + 1> m_glyphs{};
};

}  // namespace gdi
