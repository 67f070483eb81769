// Test seams of the socket family: the name resolver, a failing start-up, open sockets.
#include "platform/testing/hooks.h"
#include "platform/winsock/winsock_seams.h"

namespace platform_testing {

void SetHostResolver(std::function<bool(const std::string& name, uint32_t* address)> resolver) {
    platform_winsock::g_resolverSeam.Set(std::move(resolver));
}

void SetSocketCloseObserver(std::function<void(uint32_t socket)> observer) {
    platform_winsock::g_closeObserverSeam.Set(std::move(observer));
}

void FailSocketLayerStartup(bool fail) {
    platform_winsock::g_startupFailureSeam.Set(fail ? [] { return true; }
                                                    : std::function<bool()>());
}

int OpenSocketCount() {
    return platform_winsock::OpenSocketCount();
}

}  // namespace platform_testing
