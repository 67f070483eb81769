// JPEG frames made with TurboJPEG for tests: pictures of known colours in several layouts.
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

/* Rewrites the picture size that the frame header (SOF) declares; false when there is none. */
bool SetDeclaredSize(std::vector<uint8_t>& jpeg, int width, int height);

}  // namespace test_support
