// Test seams of the gdi family: counts of live bitmaps and device contexts, for leak checks.
#include "platform/gdi/gdi_objects.h"
#include "platform/testing/hooks.h"

namespace platform_testing {

int LiveBitmapCount() {
    return platform_gdi::Objects().Count([](const platform_gdi::Object& object) {
        const auto* bitmap = std::get_if<platform_gdi::Bitmap>(&object);
        return bitmap != nullptr && !bitmap->stock;
    });
}

int LiveDeviceContextCount() {
    return platform_gdi::Objects().Count([](const platform_gdi::Object& object) {
        return std::holds_alternative<platform_gdi::DeviceContext>(object);
    });
}

}  // namespace platform_testing
