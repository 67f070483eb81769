#include "camera/moving_picture.h"

#include <turbojpeg.h>

#include <cmath>
#include <memory>

namespace simcamera {

namespace {

struct CompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// One compressor per serving thread, reused for every frame it makes.
void* Compressor() {
    thread_local std::unique_ptr<void, CompressorDeleter> handle(tjInitCompress());
    return handle.get();
}

}  // namespace

std::vector<uint8_t> MovingPicture(int frame, int width, int height, int quality) {
    if (width <= 0 || height <= 0) return {};
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);

    // A sky-to-ground gradient drifting sideways, a sun crossing it and a ball bouncing below.
    const double t = frame / 30.0;
    const double sunX = std::fmod(t * 0.15, 1.2) * width - 0.1 * width;
    const double sunY = height * 0.3;
    const double ballX = width * (0.5 + 0.4 * std::sin(t * 1.7));
    const double ballY = height * (0.85 - 0.35 * std::fabs(std::sin(t * 3.1)));
    const double sunR = height * 0.12;
    const double ballR = height * 0.07;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            const double sky = static_cast<double>(y) / height;
            const double shimmer = 0.5 + 0.5 * std::sin((x + frame * 2) * 0.05);
            if (sky < 0.6) {
                p[0] = static_cast<uint8_t>(40 + 60 * sky);
                p[1] = static_cast<uint8_t>(90 + 100 * sky);
                p[2] = static_cast<uint8_t>(200 + 40 * shimmer * sky);
            } else {
                p[0] = static_cast<uint8_t>(40 + 30 * shimmer);
                p[1] = static_cast<uint8_t>(130 + 40 * shimmer);
                p[2] = 50;
            }
            if (std::hypot(x - sunX, y - sunY) < sunR) {
                p[0] = 250, p[1] = 210, p[2] = 60;
            }
            if (std::hypot(x - ballX, y - ballY) < ballR) {
                p[0] = 220, p[1] = 40, p[2] = 40;
            }
        }
    }

    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(Compressor(), rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420,
                    quality, TJFLAG_FASTDCT) != 0) {
        tjFree(jpeg);
        return {};
    }
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    return out;
}

}  // namespace simcamera
