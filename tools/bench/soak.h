// The soak: a long stream through the real dialog with a disconnect and reconnect every few
// thousand frames, checking that memory, descriptors, threads and platform objects stay flat.
#pragma once

#include <cstdint>

namespace bench {

/* Streams `frames` frames from the camera at the port; prints the figures and returns the
   program's exit status: 0 when nothing grew beyond its allowance. */
int RunSoak(uint16_t port, long long frames);

}  // namespace bench
