// The wide printf engine behind CString::Format.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/windef.h"

namespace platform_afx {

/* The text CString::Format makes of format and args (the conversions it lists). */
std::u16string FormatWideV(LPCWSTR format, va_list args);

}  // namespace platform_afx
