#include "platform/gdi/gdi_objects.h"

#include <cstdint>
#include <unordered_map>

namespace gdi {
namespace {

constexpr uintptr_t kWhiteBrush = 1;
constexpr uintptr_t kBlackBrush = 2;
constexpr uintptr_t kDefaultBitmap = 3;
constexpr uintptr_t kFirstHandle = 0x100;

struct Table {
    std::mutex mutex;
    std::unordered_map<uintptr_t, Object> objects;
    uintptr_t nextHandle = kFirstHandle;

    Table() {
        objects.emplace(kWhiteBrush, Brush{RGB(255, 255, 255)});
        objects.emplace(kBlackBrush, Brush{RGB(0, 0, 0)});
        QImage pixel(1, 1, QImage::Format_RGB32);
        pixel.fill(Qt::black);
        objects.emplace(kDefaultBitmap, Bitmap{pixel, nullptr, true});
    }
};

Table& TheTable() {
    static Table table;
    return table;
}

uintptr_t Key(const void* handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

std::unique_lock<std::mutex> TableLock() {
    return std::unique_lock<std::mutex>(TheTable().mutex);
}

void* AddObject(Object object) {
    Table& table = TheTable();
    const uintptr_t key = table.nextHandle++;
    table.objects.emplace(key, std::move(object));
    return reinterpret_cast<void*>(key);
}

Object* FindObject(const void* handle) {
    Table& table = TheTable();
    auto it = table.objects.find(Key(handle));
    return it != table.objects.end() ? &it->second : nullptr;
}

void RemoveObject(const void* handle) {
    if (Key(handle) >= kFirstHandle) TheTable().objects.erase(Key(handle));
}

HBITMAP DefaultBitmap() {
    return reinterpret_cast<HBITMAP>(kDefaultBitmap);
}

QImage* DrawingSurface(DeviceContext& dc) {
    if (dc.kind != DcKind::Memory) return dc.surface;
    Bitmap* bitmap = Find<Bitmap>(dc.bitmap);
    return bitmap != nullptr ? &bitmap->pixels : nullptr;
}

int CountBitmaps() {
    int count = 0;
    for (const auto& [key, object] : TheTable().objects) {
        const Bitmap* bitmap = std::get_if<Bitmap>(&object);
        if (bitmap != nullptr && !bitmap->stock) ++count;
    }
    return count;
}

int CountDeviceContexts() {
    int count = 0;
    for (const auto& [key, object] : TheTable().objects) {
        if (std::holds_alternative<DeviceContext>(object)) ++count;
    }
    return count;
}

}  // namespace gdi

/* GetStockObject: the white or the black stock brush; NULL for any other index. */
HGDIOBJ GetStockObject(int fnObject) {
    switch (fnObject) {
        case WHITE_BRUSH:
            return reinterpret_cast<HGDIOBJ>(gdi::kWhiteBrush);
        case BLACK_BRUSH:
            return reinterpret_cast<HGDIOBJ>(gdi::kBlackBrush);
        default:
            return nullptr;
    }
}
