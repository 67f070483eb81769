#include "support/window_pixels.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <algorithm>

#include "platform/user/window.h"
#include "support/bitmap_pixels.h"

namespace test_support {

QWidget* WidgetOf(HWND hWnd) {
    auto window = platform_user::LookUpWindow(hWnd);
    return window && window->windowClass ? window->windowClass->Widget() : nullptr;
}

QImage GrabWindow(HWND hWnd) {
    QWidget* widget = WidgetOf(hWnd);
    if (widget == nullptr) return {};
    // The offscreen platform's grab cuts the window's size in logical pixels from the top-left
    // corner of its backing store: at another device pixel ratio the backing store is read whole.
    QBackingStore* store = widget->backingStore();
    QPaintDevice* device = store != nullptr ? store->paintDevice() : nullptr;
    if (widget->devicePixelRatio() != 1 && device != nullptr &&
        device->devType() == QInternal::Image) {
        return static_cast<QImage*>(device)->convertToFormat(QImage::Format_RGB32);
    }
    QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen->grabWindow(widget->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

int CountColour(const QImage& image, RECT rect, uint32_t rgb, int tolerance) {
    int count = 0;
    for (LONG y = std::max(rect.top, LONG{0}); y < std::min<LONG>(rect.bottom, image.height());
         ++y) {
        for (LONG x = std::max(rect.left, LONG{0}); x < std::min<LONG>(rect.right, image.width());
             ++x) {
            count += IsNear(image.pixel(x, y), rgb, tolerance);
        }
    }
    return count;
}

}  // namespace test_support
