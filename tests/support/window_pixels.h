// What a window shows: its widget, and its pixels read back from the backing store (a repaint
// would send an image request, so the window is never painted again to read it).
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "platform/windef.h"

namespace test_support {

/* The Qt widget standing for a dialog or control; NULL when there is none. */
QWidget* WidgetOf(HWND hWnd);

/* The window's pixels as the screen has them (QScreen::grabWindow, or at a device pixel ratio
   other than 1 its backing store), in client coordinates of device pixels. */
QImage GrabWindow(HWND hWnd);

/* Pixels of the rectangle (right and bottom exclusive) whose colour is within tolerance of rgb. */
int CountColour(const QImage& image, RECT rect, uint32_t rgb, int tolerance = 24);

/* The number of pixels in the rectangle. */
inline int Area(RECT rect) {
    return (rect.right - rect.left) * (rect.bottom - rect.top);
}

}  // namespace test_support
