// Test hooks of the registry family: the write observer and the count of open keys.
#include "platform/registry/registry_seams.h"
#include "platform/testing/hooks.h"

namespace platform_testing {

void SetSettingsWriteObserver(std::function<void()> observer) {
    platform_registry::g_writeObserver.Set(std::move(observer));
}

int OpenRegistryKeyCount() {
    return platform_registry::OpenKeyCount();
}

}  // namespace platform_testing
