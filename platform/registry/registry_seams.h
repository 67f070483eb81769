// What the registry family lets the test seams observe. Only platform/testing uses it.
#pragma once

#include <functional>

namespace platform_registry {

/* Sets the function run after every value written to the settings file; empty detaches it. */
void SetWriteObserver(std::function<void()> observer);

/* Runs the write observer, if one is set. */
void NotifyValueWritten();

}  // namespace platform_registry
