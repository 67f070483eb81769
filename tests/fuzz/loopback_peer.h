// The camera's end of the fuzzed connection: a listening socket on 127.0.0.1 that serves each
// accepted connection one prepared byte stream. Kept apart from the platform's socket names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_support {

/* A socket listening on 127.0.0.1 at a port the system chooses; false when none can be made. */
bool ListenOnLoopback(int* listener, int* port);

/* Accepts one connection, sends the bytes, closes its sending side and reads what the other end
   sends until it hangs up, so no unread byte turns the close into a reset. */
void ServeOne(int listener, const uint8_t* data, size_t size);

}  // namespace fuzz_support
