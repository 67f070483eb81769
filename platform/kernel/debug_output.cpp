// Debug output: with no debugger attached the text goes nowhere; a test may attach an observer.
#include <memory>
#include <mutex>

#include "platform/kernel.h"
#include "platform/kernel/kernel_seams.h"

namespace {

std::mutex g_observerLock;
std::shared_ptr<const platform_kernel::DebugObserver> g_observer;

}  // namespace

/* OutputDebugStringW: hands a copy of the text to the attached observer, if any. */
void OutputDebugStringW(LPCWSTR lpOutputString) {
    std::shared_ptr<const platform_kernel::DebugObserver> observer;
    {
        std::lock_guard<std::mutex> lock(g_observerLock);
        observer = g_observer;
    }
    if (observer == nullptr || lpOutputString == nullptr) return;
    (*observer)(std::u16string(lpOutputString));
}

namespace platform_kernel {

void SetDebugObserver(DebugObserver observer) {
    std::shared_ptr<const DebugObserver> next;
    if (observer) next = std::make_shared<const DebugObserver>(std::move(observer));
    std::lock_guard<std::mutex> lock(g_observerLock);
    g_observer = std::move(next);
}

}  // namespace platform_kernel
