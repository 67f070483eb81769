#include "platform/gdi/gdi_objects.h"

namespace platform_gdi {
namespace {

struct Stock {
    HBRUSH white;
    HBRUSH black;
    HBITMAP defaultBitmap;
};

template <class Handle>
Handle AddStock(Object object) {
    return static_cast<Handle>(AddObject(std::move(object)));
}

const Stock& StockObjects() {
    static const Stock stock = [] {
        QImage pixel(1, 1, QImage::Format_RGB32);
        pixel.fill(Qt::black);
        return Stock{AddStock<HBRUSH>(Brush{RGB(255, 255, 255)}),
                     AddStock<HBRUSH>(Brush{RGB(0, 0, 0)}),
                     AddStock<HBITMAP>(Bitmap{pixel, nullptr, true})};
    }();
    return stock;
}

}  // namespace

std::unique_lock<std::mutex> ObjectLock() {
    static std::mutex lock;
    return std::unique_lock<std::mutex>(lock);
}

platform_kernel::HandleTable<Object>& Objects() {
    static platform_kernel::HandleTable<Object> table;
    return table;
}

void* AddObject(Object object) {
    return reinterpret_cast<void*>(Objects().Add(std::make_shared<Object>(std::move(object))));
}

HBITMAP DefaultBitmap() {
    return StockObjects().defaultBitmap;
}

QImage* DrawingSurface(DeviceContext& dc) {
    if (!dc.IsMemory()) return dc.surface;
    Bitmap* bitmap = Lookup<Bitmap>(dc.bitmap);
    return bitmap != nullptr ? &bitmap->pixels : nullptr;
}

}  // namespace platform_gdi

HGDIOBJ GetStockObject(int fnObject) {
    switch (fnObject) {
        case WHITE_BRUSH:
            return platform_gdi::StockObjects().white;
        case BLACK_BRUSH:
            return platform_gdi::StockObjects().black;
        default:
            return nullptr;
    }
}
