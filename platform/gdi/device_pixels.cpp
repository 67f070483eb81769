#include "platform/gdi/device_pixels.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace platform_gdi {

namespace {

int WithinInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

int64_t DeviceEdge(int64_t edge, qreal ratio) {
    if (ratio == 1) return edge;
    return static_cast<int64_t>(std::floor(static_cast<double>(edge) * ratio + 0.5));
}

Edges DeviceEdges(const RECT& rect, qreal ratio) {
    return {DeviceEdge(rect.left, ratio), DeviceEdge(rect.top, ratio),
            DeviceEdge(rect.right, ratio), DeviceEdge(rect.bottom, ratio)};
}

Block DeviceBlock(Block block, qreal ratio) {
    if (ratio == 1) return block;
    // The far edge is mapped, not the extent, so that blocks meeting on the logical grid also
    // meet on the device.
    const int x = WithinInt(DeviceEdge(block.x, ratio));
    const int y = WithinInt(DeviceEdge(block.y, ratio));
    const int64_t right = DeviceEdge(int64_t{block.x} + block.width, ratio);
    const int64_t bottom = DeviceEdge(int64_t{block.y} + block.height, ratio);
    return {x, y, WithinInt(right - x), WithinInt(bottom - y)};
}

QRect VisiblePart(const Edges& rect, const QRect& surface) {
    const int64_t left = std::max<int64_t>(rect.left, surface.left());
    const int64_t top = std::max<int64_t>(rect.top, surface.top());
    const int64_t right = std::min<int64_t>(rect.right, int64_t{surface.right()} + 1);
    const int64_t bottom = std::min<int64_t>(rect.bottom, int64_t{surface.bottom()} + 1);
    if (left >= right || top >= bottom) return QRect();
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

void FillPixels(QImage& surface, const QRect& area, QRgb pixel) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(surface.scanLine(y)) + area.left();
        std::fill(row, row + area.width(), pixel);
    }
}

}  // namespace platform_gdi
