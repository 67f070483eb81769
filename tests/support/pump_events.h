// Running the Qt event loop of the calling thread until something has happened.
#pragma once

#include <chrono>
#include <functional>

namespace test_support {

/* Processes events until the predicate holds or the time-out passes; the predicate's last value. */
bool PumpEventsUntil(const std::function<bool()>& predicate,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace test_support
