#include "bitmap_pixels.h"

#include <cstdlib>

#include "platform/gdi.h"
#include "platform/gdi/image_dc.h"

namespace test_support {

QImage ReadBitmap(HBITMAP bitmap) {
    BITMAP size{};
    if (GetObjectW(bitmap, sizeof(size), &size) == 0) return QImage();
    QImage pixels(size.bmWidth, size.bmHeight, QImage::Format_RGB32);
    HDC memory = CreateCompatibleDC(nullptr);
    HDC target = CreateImageDC(&pixels);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = previous != nullptr &&
                        BitBlt(target, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteImageDC(target);
    DeleteDC(memory);
    return copied ? pixels : QImage();
}

QRect ChangedArea(const QImage& image, QRgb backdrop) {
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != backdrop) area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

bool IsNear(QRgb pixel, uint32_t rgb, int tolerance) {
    return std::abs(qRed(pixel) - qRed(rgb)) <= tolerance &&
           std::abs(qGreen(pixel) - qGreen(rgb)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(rgb)) <= tolerance;
}

::testing::AssertionResult NearColour(QRgb pixel, uint32_t rgb, int tolerance) {
    if (IsNear(pixel, rgb, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "pixel " << (pixel & 0xFFFFFFu) << ", expected " << rgb << std::dec
           << " within " << tolerance;
}

}  // namespace test_support
