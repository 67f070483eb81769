// Nearest-pixel block copy between two 32-bit images.
#pragma once

#include <QImage>

namespace platform_gdi {

struct Block {
    int x;
    int y;
    int width;   // negative: the block runs leftwards from x (mirrored when the other does not)
    int height;  // negative: the block runs upwards from y
};

/* Copies the source block onto the destination block, scaled by nearest pixel (each target
   pixel takes the source pixel under its centre). A block of negative width or height covers
   the pixels just before its origin and mirrors the copy when only one of the two blocks is
   negative on that axis. Pixels outside either image are left alone; nothing is smoothed. */
void StretchCopy(QImage& destination, Block to, const QImage& source, Block from);

}  // namespace platform_gdi
