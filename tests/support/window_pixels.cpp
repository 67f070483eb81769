#include "support/window_pixels.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "platform/user/window.h"
#include "support/bitmap_pixels.h"

namespace test_support {

namespace {

template <typename Test>
int CountIf(const QImage& image, RECT rect, Test test) {
    int count = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
            if (x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
                test(image.pixel(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace

QWidget* WidgetOf(HWND hWnd) {
    auto window = platform_user::LookUpWindow(hWnd);
    return window && window->windowClass ? window->windowClass->Widget() : nullptr;
}

QImage GrabWindow(HWND hWnd) {
    QWidget* widget = WidgetOf(hWnd);
    if (widget == nullptr) {
        return {};
    }
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
    return CountIf(image, rect, [&](QRgb p) { return IsNear(p, rgb, tolerance); });
}

int CountNotColour(const QImage& image, RECT rect, uint32_t rgb, int tolerance) {
    return CountIf(image, rect, [&](QRgb p) { return !IsNear(p, rgb, tolerance); });
}

}  // namespace test_support
