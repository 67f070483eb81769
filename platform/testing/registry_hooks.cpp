// Test seams of the registry family: the write observer and the count of open keys.
#include "platform/registry/key_table.h"
#include "platform/registry/registry_seams.h"
#include "platform/testing/hooks.h"

namespace platform_testing {

void SetSettingsWriteObserver(std::function<void()> observer) {
    platform_registry::SetWriteObserver(std::move(observer));
}

int OpenRegistryKeyCount() {
    return platform_registry::OpenKeyCount();
}

}  // namespace platform_testing
