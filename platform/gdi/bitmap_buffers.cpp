#include "platform/gdi/bitmap_buffers.h"

#include <cstdint>
#include <mutex>

namespace platform_gdi {
namespace {

std::mutex g_spareLock;
QImage g_spare;  // the last released buffer, or a null image
// Larger buffers are refused, as QImage refuses them.
constexpr int64_t kLargestBuffer = int64_t{1} << 30;

}  // namespace

QImage TakeBitmapBuffer(int width, int height) {
    if (width <= 0 || height <= 0 || int64_t{width} * height * 4 > kLargestBuffer) return QImage();
    {
        std::lock_guard<std::mutex> lock(g_spareLock);
        QImage spare = std::move(g_spare);
        g_spare = QImage();
        if (spare.width() == width && spare.height() == height) return spare;
    }
    return QImage(width, height, QImage::Format_RGB32);
}

void RecycleBitmapBuffer(QImage&& pixels) {
    if (pixels.isNull() || pixels.format() != QImage::Format_RGB32) return;
    QImage released = std::move(pixels);
    pixels = QImage();
    std::lock_guard<std::mutex> lock(g_spareLock);
    g_spare = std::move(released);
}

}  // namespace platform_gdi
