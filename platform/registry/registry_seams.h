// What the registry family lets the test hooks see and set. Only platform/testing includes it.
#pragma once

#include <functional>

#include "platform/kernel/seam.h"

namespace platform_registry {

/* Runs after every value written to a settings file, on the writing thread. */
extern platform_kernel::Seam<std::function<void()>> g_writeObserver;

/* The number of keys open now. */
int OpenKeyCount();

}  // namespace platform_registry
