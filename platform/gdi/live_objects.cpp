// Counts of live GDI objects, for leak checks in tests.
#include "platform/gdi/gdi_objects.h"
#include "platform/testing/hooks.h"

namespace platform_testing {

int LiveBitmapCount() {
    auto lock = gdi::TableLock();
    return gdi::CountBitmaps();
}

int LiveDeviceContextCount() {
    auto lock = gdi::TableLock();
    return gdi::CountDeviceContexts();
}

}  // namespace platform_testing
