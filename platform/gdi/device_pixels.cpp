#include "platform/gdi/device_pixels.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace gdi {

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

}  // namespace gdi
