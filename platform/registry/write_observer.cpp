// The write observer: a test's moment between two writes of the settings file.
#include <memory>
#include <mutex>

#include "platform/registry/registry_seams.h"

namespace platform_registry {
namespace {

std::mutex g_observerLock;
std::shared_ptr<const std::function<void()>> g_observer;

}  // namespace

void SetWriteObserver(std::function<void()> observer) {
    std::shared_ptr<const std::function<void()>> next;
    if (observer) next = std::make_shared<const std::function<void()>>(std::move(observer));
    std::lock_guard<std::mutex> lock(g_observerLock);
    g_observer = std::move(next);
}

void NotifyValueWritten() {
    std::shared_ptr<const std::function<void()>> observer;
    {
        std::lock_guard<std::mutex> lock(g_observerLock);
        observer = g_observer;
    }
    if (observer != nullptr) (*observer)();
}

}  // namespace platform_registry
