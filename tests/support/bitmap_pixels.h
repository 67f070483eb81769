// Reading platform bitmaps back through the platform's own drawing calls, and comparing colours.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>

#include "platform/windef.h"

namespace test_support {

/* The bitmap's pixels, copied with BitBlt from a memory device context; null image on failure. */
QImage ReadBitmap(HBITMAP bitmap);

/* The bounding box of the image's pixels that differ from backdrop (null when none do). */
QRect ChangedArea(const QImage& image, QRgb backdrop);

/* Whether each channel of pixel lies within tolerance of rgb (0xRRGGBB). */
bool IsNear(QRgb pixel, uint32_t rgb, int tolerance = 24);

/* Succeeds when each channel of pixel lies within tolerance of rgb (0xRRGGBB); else says both. */
::testing::AssertionResult NearColour(QRgb pixel, uint32_t rgb, int tolerance = 24);

}  // namespace test_support
