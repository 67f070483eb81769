// The string resources of the registered resource section.
#pragma once

#include "platform/windef.h"

namespace platform_afx {

/* The text of string resource id, NULL when the program has none. */
LPCWSTR FindStringResource(UINT id);

}  // namespace platform_afx
