// The system's pixel coordinates on a surface with a device pixel ratio: a window's surface on a
// HiDPI screen has more pixels than its client area, and the system still draws in its own.
#pragma once

#include <QImage>
#include <cstdint>

#include "platform/gdi/stretch_copy.h"
#include "platform/windef.h"

namespace platform_gdi {

/* A rectangle's edges in device pixels (right and bottom exclusive). */
struct Edges {
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
};

/* The device pixel edge of a logical edge: rounded to the nearest (halves up), so rectangles that
   share an edge share it on the device too. At ratio 1, the edge itself. */
int64_t DeviceEdge(int64_t edge, qreal ratio);

/* The rectangle's edges on a surface of that ratio. */
Edges DeviceEdges(const RECT& rect, qreal ratio);

/* The block on a surface of that ratio (its origin and far edge mapped, each held within the
   range of int); at ratio 1, the block itself. */
Block DeviceBlock(Block block, qreal ratio);

/* The part of a rectangle (device edges) that lies on the surface's rectangle; empty when none. */
QRect VisiblePart(const Edges& rect, const QRect& surface);

/* Fills a rectangle that lies on the surface with one pixel value. */
void FillPixels(QImage& surface, const QRect& area, QRgb pixel);

}  // namespace platform_gdi
