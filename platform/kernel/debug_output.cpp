// Debug output: with no debugger attached the text goes nowhere; a test may attach an observer.
#include "platform/kernel.h"
#include "platform/kernel/kernel_seams.h"

namespace platform_kernel {
Seam<std::function<void(const std::u16string&)>> g_debugOutputSeam;
}

void OutputDebugStringW(LPCWSTR lpOutputString) {
    const auto* observer = platform_kernel::g_debugOutputSeam.Get();
    if (observer != nullptr && lpOutputString != nullptr) (*observer)(lpOutputString);
}
