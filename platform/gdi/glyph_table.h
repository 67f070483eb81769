// The default font's glyphs by character, rasterised once, for drawing a line of text without
// the shaper or a painter.
#pragma once

#include <QGlyphRun>
#include <QRawFont>
#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

namespace platform_gdi {

/* A glyph's coverage (0..255 per pixel), placed relative to its pen position: `left` pixels
   right of it and `top` pixels below the top of the text line. */
struct GlyphMask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width * height, row by row
};

/* One line of text laid out character by character, each at its own advance after the one
   before (no kerning, no ligatures, as the device's text output draws). */
struct GlyphLine {
    std::vector<char16_t> characters;
    std::vector<double> pens;  // each character's pen position from the line's left edge
    double width = 0;
};

/* The default font's glyphs for the characters U+0020..U+00FF, rasterised on first use at
   kPhases sub-pixel pen positions. The frame view draws two changing texts per frame; drawing
   them from these masks spares the shaper and the painter that work. Use on one thread. */
class GlyphTable {
public:
    static constexpr int kPhases = 4;

    GlyphTable();

    /* Lays the text out into `line` (reusing its storage); false when a character is outside
       the table's range or the font has no glyph for it. */
    bool Lay(QStringView text, GlyphLine& line);
    /* The mask of a character that Lay accepted, its pen at `phase` / kPhases of a pixel. */
    const GlyphMask& Mask(char16_t character, int phase);
    /* The glyphs of a line that Lay made, at their pens on the baseline, from the line's top-left
       corner: for a painter, which renders them at its own resolution. */
    QGlyphRun Run(const GlyphLine& line) const;
    /* The font's line height in pixels. */
    int Height() const { return m_height; }

private:
    struct Glyph {
        quint32 index = 0;
        double advance = 0;
        bool looked = false;
        std::array<GlyphMask, kPhases> masks;
        std::array<bool, kPhases> rasterised{};
    };
    static constexpr char16_t kFirst = 0x20;
    static constexpr char16_t kLast = 0xFF;

    GlyphMask Rasterise(quint32 index, int phase) const;

    QRawFont m_font;
    int m_height = 0;
    int m_ascent = 0;  // the baseline's distance from the line's top
    std::array<Glyph, kLast - kFirst + 1> m_glyphs{};
};

}  // namespace platform_gdi
