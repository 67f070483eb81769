// The simulated camera's picture: a scene that moves from frame to frame, so a viewer shows at
// a glance that the stream is live.
#pragma once

#include <cstdint>
#include <vector>

namespace simcamera {

/* Frame `frame` of the scene as a width x height JPEG of the given quality; empty on failure. */
std::vector<uint8_t> MovingPicture(int frame, int width, int height, int quality);

}  // namespace simcamera
