// The wide printf engine behind CString::Format.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/windef.h"

namespace platform_afx {

/* Formats by the wide printf rules: %d %i %u %x %X %c %s (UTF-16 text) %S (8-bit text) %f %e %g
   %%, with the flags - 0 + space #, width and precision (either may be *), and the length
   modifiers h, l (32-bit, as on the device), ll and I64. An unknown conversion is copied as is.
   Numbers take the "C" locale's form whatever the process's locale: "12.500000", no grouping. */
std::u16string FormatWideV(LPCWSTR format, va_list args);

}  // namespace platform_afx
