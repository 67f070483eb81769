// Captioned JPEG frames, made with TurboJPEG.
#include "fakecamera/captioned_jpeg.h"

#include <turbojpeg.h>

#include <memory>

namespace fakecamera {
namespace {

constexpr uint8_t kJfifSegment[18] = {0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',  0x00,
                                      0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};

struct TjHandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct TjBufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

int ToTurboJpeg(Subsampling subsampling) {
    switch (subsampling) {
        case Subsampling::k444:
            return TJSAMP_444;
        case Subsampling::k422:
            return TJSAMP_422;
        case Subsampling::k420:
            return TJSAMP_420;
        case Subsampling::kGray:
            break;
    }
    return TJSAMP_GRAY;
}

bool HasJfifSegment(const std::vector<uint8_t>& jpeg) {
    return jpeg.size() >= 20 && jpeg[2] == 0xFF && jpeg[3] == 0xE0 && jpeg[4] == 0x00 &&
           jpeg[5] == 0x10;
}

}  // namespace

std::vector<uint8_t> InsertCaption(const std::vector<uint8_t>& jpeg, const std::string& caption19) {
    if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return {};
    std::vector<uint8_t> out;
    out.reserve(jpeg.size() + sizeof kJfifSegment + 4 + kCaptionLength);
    out.push_back(jpeg[0]);
    out.push_back(jpeg[1]);
    size_t rest = 2;
    if (HasJfifSegment(jpeg)) {
        out.insert(out.end(), jpeg.begin() + 2, jpeg.begin() + 20);
        rest = 20;
    } else {
        out.insert(out.end(), std::begin(kJfifSegment), std::end(kJfifSegment));
    }
    const size_t segmentLength = 2 + kCaptionLength;
    out.push_back(0xFF);
    out.push_back(0xFE);
    out.push_back(static_cast<uint8_t>(segmentLength >> 8));
    out.push_back(static_cast<uint8_t>(segmentLength & 0xFF));
    std::string caption = caption19.substr(0, kCaptionLength);
    caption.resize(kCaptionLength, ' ');
    out.insert(out.end(), caption.begin(), caption.end());
    out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(rest), jpeg.end());
    return out;
}

std::vector<uint8_t> MakeCaptionedJpeg(int width, int height, int quality, Subsampling subsampling,
                                       bool progressive, const std::string& caption19) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return {};
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> rgb(pixelCount * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) +
                                   static_cast<size_t>(x)) *
                                  3];
            pixel[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            pixel[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            pixel[2] = static_cast<uint8_t>(((x / 8 + y / 8) % 2) * 160);
        }
    }
    std::unique_ptr<void, TjHandleCloser> compressor(tjInitCompress());
    if (compressor == nullptr) return {};
    unsigned char* compressed = nullptr;
    unsigned long compressedSize = 0;
    const int flags = TJFLAG_ACCURATEDCT | (progressive ? TJFLAG_PROGRESSIVE : 0);
    const int status =
        tjCompress2(compressor.get(), rgb.data(), width, 0, height, TJPF_RGB, &compressed,
                    &compressedSize, ToTurboJpeg(subsampling), quality, flags);
    std::unique_ptr<unsigned char, TjBufferFree> owned(compressed);
    // A warning still leaves a usable image; only an error does not.
    const bool failed = status != 0 && tjGetErrorCode(compressor.get()) != TJERR_WARNING;
    if (failed || compressed == nullptr || compressedSize == 0) return {};
    return InsertCaption(std::vector<uint8_t>(compressed, compressed + compressedSize), caption19);
}

}  // namespace fakecamera
