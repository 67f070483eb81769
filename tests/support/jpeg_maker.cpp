#include "jpeg_maker.h"

#include <algorithm>
#include <memory>

namespace test_support {

std::vector<uint8_t> MakeJpeg(int width, int height,
                              const std::function<uint32_t(int, int)>& colour,
                              const JpegLayout& layout) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    unsigned char* pixel = rgb.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, pixel += 3) {
            const uint32_t c = colour(x, y);
            pixel[0] = static_cast<unsigned char>(c >> 16);
            pixel[1] = static_cast<unsigned char>(c >> 8);
            pixel[2] = static_cast<unsigned char>(c);
        }
    }
    std::unique_ptr<void, int (*)(tjhandle)> compressor(tjInitCompress(), tjDestroy);
    unsigned char* output = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(compressor.get(), rgb.data(), width, 0, height, TJPF_RGB,
                                   &output, &size, layout.subsampling, layout.quality,
                                   layout.progressive ? TJFLAG_PROGRESSIVE : 0);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(output, tjFree);
    if (result != 0) return {};
    return std::vector<uint8_t>(output, output + size);
}

std::vector<uint8_t> MakeQuadrantJpeg(int width, int height, const uint32_t (&colours)[4],
                                      const JpegLayout& layout) {
    return MakeJpeg(
        width, height,
        [&](int x, int y) { return colours[(y >= height / 2) * 2 + (x >= width / 2)]; }, layout);
}

bool SetDeclaredSize(std::vector<uint8_t>& jpeg, int width, int height) {
    // Segments after SOI: FF, marker, two length bytes, payload. SOF0..SOF2 carry precision,
    // then height and width, big-endian.
    for (size_t at = 2; at + 9 <= jpeg.size() && jpeg[at] == 0xFF;
         at += 2 + ((size_t{jpeg[at + 2]} << 8) | jpeg[at + 3])) {
        if (jpeg[at + 1] >= 0xC0 && jpeg[at + 1] <= 0xC2) {
            const uint8_t size[] = {uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8),
                                    uint8_t(width)};
            std::copy(size, size + 4, jpeg.begin() + static_cast<ptrdiff_t>(at) + 5);
            return true;
        }
    }
    return false;
}

}  // namespace test_support
