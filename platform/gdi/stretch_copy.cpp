#include "platform/gdi/stretch_copy.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform_gdi {
namespace {

// One axis of a copy, with both extents made positive.
struct Axis {
    int64_t to;
    int64_t toLength;
    int64_t from;
    int64_t fromLength;
    bool mirrored;
};

Axis MakeAxis(int64_t to, int64_t toLength, int64_t from, int64_t fromLength) {
    const bool mirrored = (toLength < 0) != (fromLength < 0);
    if (toLength < 0) {
        to += toLength;
        toLength = -toLength;
    }
    if (fromLength < 0) {
        from += fromLength;
        fromLength = -fromLength;
    }
    return {to, toLength, from, fromLength, mirrored};
}

// The source coordinate under the centre of the target pixel `offset` places into the block.
int64_t SourceAt(const Axis& axis, int64_t offset) {
    int64_t step = (2 * offset + 1) * axis.fromLength / (2 * axis.toLength);
    if (axis.mirrored) step = axis.fromLength - 1 - step;
    return axis.from + step;
}

}  // namespace

void StretchCopy(QImage& destination, Block to, const QImage& source, Block from) {
    if (to.width == 0 || to.height == 0 || from.width == 0 || from.height == 0) return;
    const Axis across = MakeAxis(to.x, to.width, from.x, from.width);
    const Axis down = MakeAxis(to.y, to.height, from.y, from.height);
    const int64_t left = std::max<int64_t>(across.to, 0);
    const int64_t right = std::min<int64_t>(across.to + across.toLength, destination.width());
    const int64_t top = std::max<int64_t>(down.to, 0);
    const int64_t bottom = std::min<int64_t>(down.to + down.toLength, destination.height());
    if (left >= right || top >= bottom) return;

    // A second reference keeps the source's pixels as they were when the destination is the
    // same image: writing to it then detaches the destination.
    const QImage pixels = source;

    // The source column of each target column; the columns outside the source are left out
    // at either end (the mapping is monotonic, so those form the two ends of the row).
    thread_local std::vector<int> columns;
    columns.clear();
    int64_t first = right;  // the first target column with a source column
    for (int64_t x = left; x < right; ++x) {
        const int64_t column = SourceAt(across, x - across.to);
        if (column < 0 || column >= pixels.width()) continue;
        if (columns.empty()) first = x;
        columns.push_back(static_cast<int>(column));
    }
    if (columns.empty()) return;
    for (int64_t y = top; y < bottom; ++y) {
        const int64_t row = SourceAt(down, y - down.to);
        if (row < 0 || row >= pixels.height()) continue;
        const auto* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(static_cast<int>(row)));
        auto* out = reinterpret_cast<QRgb*>(destination.scanLine(static_cast<int>(y))) + first;
        for (size_t i = 0; i < columns.size(); ++i) out[i] = in[columns[i]] | 0xFF000000u;
    }
}

}  // namespace platform_gdi
