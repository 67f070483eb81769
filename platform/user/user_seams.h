// What the user family lets the test seams replace. Only platform/testing uses it.
#pragma once

#include <functional>
#include <string>

#include "platform/kernel/seam.h"
#include "platform/windef.h"

namespace platform_user {

using MessageBoxAnswerer = std::function<int(const std::u16string& text, UINT type)>;

/* While set, answers every message box on the calling thread instead of showing it. */
extern platform_kernel::Seam<MessageBoxAnswerer> g_messageBoxAnswerer;

}  // namespace platform_user
