#include "jpeg_maker.h"

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

int TurboJpegError(const std::vector<uint8_t>& jpeg) {
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if ((tjDecompressHeader3(handle.get(), jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                             &colorspace) != 0 &&
         tjGetErrorCode(handle.get()) != TJERR_WARNING) ||
        width <= 0 || height <= 0 || int64_t{width} * height > int64_t{1024} * 1024) {
        return -1;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    return tjDecompress2(handle.get(), jpeg.data(), jpeg.size(), pixels.data(), width, 0, height,
                         TJPF_BGRA, 0) == 0
               ? 0
               : tjGetErrorCode(handle.get());
}

}  // namespace test_support
