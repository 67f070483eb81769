// Pixel buffers of bitmaps. A stream of frames makes and releases one bitmap of the same size
// per frame; the buffer of the last released bitmap is kept and handed to the next bitmap of
// that size, so a steady stream allocates no pixel memory per frame.
#pragma once

#include <QImage>

#include "platform/windef.h"

namespace platform_gdi {

/* A Format_RGB32 buffer of width x height with undefined pixels: the last released buffer when
   it has that size, else a new one; a null image when the size is not positive or too large. */
QImage TakeBitmapBuffer(int width, int height);

/* Keeps a released bitmap's buffer for the next bitmap of the same size. */
void RecycleBitmapBuffer(QImage&& pixels);

/* A new bitmap owning pixels (Format_RGB32, not null); NULL on failure. Callable on any thread. */
HBITMAP AdoptBitmapBuffer(QImage&& pixels);

}  // namespace platform_gdi
