#include "platform/gdi/bitmap_buffers.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>

namespace gdi {
namespace {

std::mutex g_spareLock;
QImage g_spare;  // the last released buffer, or a null image

// Rows start 4 bytes past a 16-byte boundary. The JPEG decoder writes rows that start on such
// a boundary with non-temporal stores, which bypass the cache, and the paint that follows the
// decode would then read the frame back from memory; rows off that boundary are written
// through the cache (measured: the decode itself is no slower, the paint's read is halved).
constexpr size_t kRowShift = 4;
// Larger buffers are refused, as QImage refuses them.
constexpr int64_t kLargestBuffer = int64_t{1} << 30;

void FreeBlock(void* block) {
    std::free(block);
}

QImage NewBuffer(int width, int height) {
    const int64_t bytesPerLine = int64_t{width} * 4;
    if (bytesPerLine * height > kLargestBuffer) return QImage();
    void* block = std::malloc(static_cast<size_t>(bytesPerLine * height) + kRowShift);
    if (block == nullptr) return QImage();
    // The image owns the block: its cleanup frees it when the last copy of the image goes.
    return QImage(static_cast<uchar*>(block) + kRowShift, width, height, bytesPerLine,
                  QImage::Format_RGB32, FreeBlock, block);
}

}  // namespace

QImage TakeBitmapBuffer(int width, int height) {
    if (width <= 0 || height <= 0) return QImage();
    {
        std::lock_guard<std::mutex> lock(g_spareLock);
        QImage spare = std::move(g_spare);
        g_spare = QImage();
        if (spare.width() == width && spare.height() == height) return spare;
    }
    return NewBuffer(width, height);
}

void RecycleBitmapBuffer(QImage&& pixels) {
    if (pixels.isNull() || pixels.format() != QImage::Format_RGB32) return;
    QImage released = std::move(pixels);
    pixels = QImage();
    std::lock_guard<std::mutex> lock(g_spareLock);
    g_spare = std::move(released);
}

}  // namespace gdi
