// The image decoder on real JPEG frames made with TurboJPEG, and on damaged and hostile ones.
#include <gtest/gtest.h>

#include <random>

#include "decode_call.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using namespace decode_call;
using test_support::MakeQuadrantJpeg;

constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

TEST(DecompressImage, DecodesColourBlocksInEveryLayout) {
    const struct {
        int width, height;
        test_support::JpegLayout layout;
    } cases[] = {{64, 48, {90, TJSAMP_444}},        {64, 48, {75, TJSAMP_420}},
                 {48, 64, {90, TJSAMP_422}},        {33, 17, {95, TJSAMP_444}},
                 {66, 34, {90, TJSAMP_420, true}},  {640, 480, {75, TJSAMP_420}},
                 {640, 480, {75, TJSAMP_444, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " subsampling " << c.layout.subsampling
                     << " progressive " << c.layout.progressive);
        const Decoded decoded = Decode(MakeQuadrantJpeg(c.width, c.height, kColours, c.layout));
        ASSERT_EQ(decoded.result, S_OK);
        EXPECT_EQ(decoded.progressCalls, 1);
        const QImage pixels = test_support::ReadBitmap(decoded.bitmap);
        ASSERT_EQ(pixels.size(), QSize(c.width, c.height));
        for (int i = 0; i < 4; ++i) {
            const int x = c.width * (1 + 2 * (i % 2)) / 4, y = c.height * (1 + 2 * (i / 2)) / 4;
            EXPECT_TRUE(test_support::NearColour(pixels.pixel(x, y), kColours[i])) << "block " << i;
        }
        EXPECT_TRUE(DeleteObject(decoded.bitmap));
    }
}

TEST(DecompressImage, ReadsOnlyTheReportedCountAndRefusesDamagedAndOversizedFrames) {
    const std::vector<uint8_t> good = MakeQuadrantJpeg(64, 48, kColours);
    const auto size = static_cast<DWORD>(good.size());
    std::vector<uint8_t> larger = good;  // the frame, then other bytes: only the count is read
    larger.resize(good.size() + 5000, 0xA5);
    const Decoded decoded = Decode(larger, size, static_cast<DWORD>(larger.size()), 64);
    EXPECT_EQ(decoded.result, S_OK);  // exactly the largest width allowed
    DeleteObject(decoded.bitmap);

    const int before = platform_testing::LiveBitmapCount();
    // A count above the capacity is refused before a byte past the buffer is read (the buffer
    // is exactly the frame, so the address sanitiser would catch an over-read).
    std::vector<uint8_t> exact = good;
    EXPECT_EQ(Decode(exact, size + 1, size).bitmap, kUntouched);
    EXPECT_EQ(Decode(good, 63).bitmap, kUntouched);  // wider than the maximum
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);

    std::vector<uint8_t> huge = good;
    ASSERT_TRUE(test_support::SetDeclaredSize(huge, 65000, 65000));
    // Cut short (end marker appended), or stray bytes before the end marker: TurboJPEG decodes
    // both with a warning only.
    std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() * 6 / 10);
    truncated.insert(truncated.end(), {0xFF, 0xD9});
    std::vector<uint8_t> stray(good.begin(), good.end() - 2);
    stray.insert(stray.end(), {0x00, 0x11, 0x22, 0xFF, 0xD9});
    const std::pair<const char*, std::vector<uint8_t>> refused[] = {
        {"empty", {}},
        {"markers only", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"headers cut short", {good.begin(), good.begin() + 100}},
        {"declares 65000 x 65000", huge},
        {"truncated", truncated},
        {"stray bytes", stray},
    };
    for (const auto& [what, frame] : refused) ExpectNoBitmap(frame, what);
}

TEST(DecompressImage, SurvivesMutatedAndRandomBytes) {
    const std::vector<uint8_t> seeds[] = {
        MakeQuadrantJpeg(48, 32, kColours, {80, TJSAMP_420}),
        MakeQuadrantJpeg(48, 32, kColours, {80, TJSAMP_444, true})};
    const int before = platform_testing::LiveBitmapCount();
    std::mt19937 random(20240611);
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> frame = seeds[round % 2];
        if (round % 3 == 0) {  // a few bytes changed anywhere
            for (int i = random() % 8; i >= 0; --i) frame[random() % frame.size()] = random();
        } else if (round % 3 == 1) {  // cut anywhere
            frame.resize(1 + random() % (frame.size() - 1));
        } else {  // random bytes after a start marker
            frame.resize(2 + random() % 2000);
            for (size_t i = 2; i < frame.size(); ++i) frame[i] = random();
        }
        const Decoded decoded = Decode(frame);
        EXPECT_EQ(decoded.result == S_OK, decoded.bitmap != kUntouched);
        if (decoded.result == S_OK) DeleteObject(decoded.bitmap);
    }
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);
}

}  // namespace
