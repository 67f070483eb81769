// JPEG frames of known colours made with TurboJPEG, and what TurboJPEG alone makes of a file.
#pragma once

#include <turbojpeg.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace test_support {

struct JpegLayout {
    int quality = 90;
    int subsampling = TJSAMP_444;
    bool progressive = false;
};

/* A JPEG of width x height pixels, pixel (x, y) of colour(x, y) (0xRRGGBB); empty on failure. */
std::vector<uint8_t> MakeJpeg(int width, int height,
                              const std::function<uint32_t(int, int)>& colour,
                              const JpegLayout& layout = {});

/* A JPEG of a 2 x 2 grid of solid blocks, colours[] in reading order. */
std::vector<uint8_t> MakeQuadrantJpeg(int width, int height, const uint32_t (&colours)[4],
                                      const JpegLayout& layout = {});

/* TurboJPEG's error code for a whole decode of the file: 0 when it decodes cleanly, -1 when its
   header cannot be read (one read with warnings can) or declares over 1024 x 1024 pixels. */
int TurboJpegError(const std::vector<uint8_t>& jpeg);

}  // namespace test_support
