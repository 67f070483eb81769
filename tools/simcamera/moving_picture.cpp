#include "simcamera/moving_picture.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// A pseudo-random value in 0..255 for a point and a frame: the same inputs give the same value.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t frame) {
    uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ frame * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h & 0xFF;
}

uint8_t Clamp(double value) {
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

}  // namespace

std::vector<uint8_t> MovingPicture(int frame, int width, int height, int quality) {
    if (width <= 0 || height <= 0) return {};
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);

    // A sky with drifting clouds over textured grass, a sun crossing the sky and a ball
    // bouncing below, with a camera sensor's grain on every pixel: the fine detail and noise
    // give frames the size and decode cost of a real camera's pictures. Lengths scale with
    // the picture so every size shows the same scene.
    const double t = frame / 30.0;
    const double unit = height / 240.0;
    const double sunX = std::fmod(t * 0.15, 1.2) * width - 0.1 * width;
    const double sunY = height * 0.3;
    const double ballX = width * (0.5 + 0.4 * std::sin(t * 1.7));
    const double ballY = height * (0.85 - 0.35 * std::fabs(std::sin(t * 3.1)));
    const double sunR = height * 0.12;
    const double ballR = height * 0.07;
    for (int y = 0; y < height; ++y) {
        const double depth = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            const double u = x / unit;
            const double v = y / unit;
            double r, g, b;
            if (depth < 0.6) {
                const double cloud = std::max(
                    0.0, std::sin(u * 0.031 + t * 0.4) * std::sin(v * 0.07 + u * 0.011) - 0.2);
                r = 40 + 60 * depth + 170 * cloud;
                g = 90 + 100 * depth + 130 * cloud;
                b = 200 + 30 * depth + 40 * cloud;
            } else {
                // Blades of grass: a coarse random texture, stretched upwards.
                const double blade =
                    Hash(static_cast<uint32_t>(u / 2), static_cast<uint32_t>(v / 5), 0) / 255.0;
                r = 30 + 50 * blade;
                g = 100 + 90 * blade;
                b = 30 + 30 * blade;
            }
            if (std::hypot(x - sunX, y - sunY) < sunR) r = 250, g = 210, b = 60;
            if (std::hypot(x - ballX, y - ballY) < ballR) {
                const double shade = (y - ballY + ballR) / (2 * ballR);
                r = 230 - 80 * shade, g = 50 - 30 * shade, b = 40;
            }
            const double grain = (Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                       static_cast<uint32_t>(frame)) -
                                  127.5) /
                                 32.0;
            p[0] = Clamp(r + grain);
            p[1] = Clamp(g + grain);
            p[2] = Clamp(b + grain);
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
