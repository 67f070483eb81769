// JPEG frames made with TurboJPEG for tests (pictures of known colours in several layouts), and
// what TurboJPEG alone makes of a file.
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

// What TurboJPEG alone makes of a file: the size its header declares, and the decode's result (0,
// or -1 with TurboJPEG's error code); result -1 and error -1 when the header cannot be read (a
// header read with warnings can) or the picture is over 1024 x 1024 pixels (never decoded here).
struct PlainDecode {
    int result = -1;
    int errorCode = -1;
    int width = 0;
    int height = 0;
};

/* Decodes the file whole to 32-bit pixels with these TurboJPEG flags. */
PlainDecode DecodeWithTurboJpeg(const std::vector<uint8_t>& jpeg, int flags = 0);

}  // namespace test_support
