// The image decoder on real JPEG frames made with TurboJPEG, and on damaged and hostile ones.
#include <gtest/gtest.h>

#include <random>

#include "decode_call.h"
#include "hostile_jpeg.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using namespace decode_call;
using test_support::DecodeWithTurboJpeg;
using test_support::MakeQuadrantJpeg;
using test_support::PlainDecode;

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

// Decompression bombs: endless progressive scans, a huge declared picture in a few hundred bytes,
// and entropy data that only decodes with warnings. Each is first shown to be what it claims with
// TurboJPEG itself, then refused by the decoder without a bitmap.

TEST(DecoderLimits, RefusesAProgressiveFrameWithHundredsOfScansAndKeepsOneWithFewer) {
    const std::vector<uint8_t> endless = hostile_jpeg::ManyScans(10);
    ASSERT_EQ(hostile_jpeg::ScanCount(endless), 694);
    EXPECT_LT(endless.size(), 8000u);
    // A valid picture: TurboJPEG decodes it without a warning unless scans are limited.
    const PlainDecode unlimited = DecodeWithTurboJpeg(endless);
    EXPECT_EQ(unlimited.result, 0);
    EXPECT_EQ(unlimited.width, 8);
    EXPECT_EQ(DecodeWithTurboJpeg(endless, TJFLAG_LIMITSCANS).errorCode, TJERR_FATAL);
    ExpectNoBitmap(endless, "694 scans");

    // Below the limit the same kind of frame is an ordinary picture: flat mid-grey.
    const std::vector<uint8_t> fewer = hostile_jpeg::ManyScans(4);
    ASSERT_EQ(hostile_jpeg::ScanCount(fewer), 316);
    const Decoded decoded = Decode(fewer);
    ASSERT_EQ(decoded.result, S_OK);
    const QImage pixels = test_support::ReadBitmap(decoded.bitmap);
    ASSERT_EQ(pixels.size(), QSize(8, 8));
    EXPECT_TRUE(test_support::NearColour(pixels.pixel(3, 5), 0x808080));
    EXPECT_TRUE(DeleteObject(decoded.bitmap));
}

TEST(DecoderLimits, RefusesHugeDeclaredPicturesFromTheHeaderAlone) {
    // 65500 x 65500 grey (4 GiB of pixels) in about 150 bytes, with the first few blocks of its
    // only scan; and 4097 x 4096, one column over the pixel budget.
    const struct { int width, height; } sizes[] = {{65500, 65500}, {4097, 4096}, {10000, 1}};
    for (const auto& size : sizes) {
        const std::vector<uint8_t> bomb = hostile_jpeg::Baseline(size.width, size.height, 64);
        EXPECT_LT(bomb.size(), 200u);
        const PlainDecode header = DecodeWithTurboJpeg(bomb);
        EXPECT_EQ(QSize(header.width, header.height), QSize(size.width, size.height));
        ExpectNoBitmap(bomb, "declared size");
    }
    // The same file whole at a size within the budget decodes: the refusal is the size alone.
    const Decoded fits = Decode(hostile_jpeg::Baseline(64, 64, 64));
    ASSERT_EQ(fits.result, S_OK);
    EXPECT_EQ(test_support::ReadBitmap(fits.bitmap).size(), QSize(64, 64));
    EXPECT_TRUE(DeleteObject(fits.bitmap));
}

TEST(DecoderLimits, RefusesBaselineFramesWhoseEntropyDataOnlyDecodesWithWarnings) {
    const std::vector<uint8_t> good = test_support::MakeJpeg(
        96, 64, [](int x, int y) { return static_cast<uint32_t>((x * 2) << 16 | (y * 3) << 8); },
        {85, TJSAMP_420});
    ASSERT_EQ(DecodeWithTurboJpeg(good).result, 0);
    size_t scanStart = 0;
    for (size_t i = 0; i + 1 < good.size() && scanStart == 0; ++i) {
        if (good[i] == 0xFF && good[i + 1] == 0xDA)
            scanStart = i + 2 + (good[i + 2] << 8 | good[i + 3]);
    }
    ASSERT_GT(scanStart, 0u);
    const size_t entropy = good.size() - 2 - scanStart;
    ASSERT_GT(entropy, 200u);

    // Stuffed FF bytes read as runs of one bits, which no Huffman code is; zero bytes read as
    // valid codes with the wrong values (colours and lengths that overrun the blocks).
    std::vector<uint8_t> allOnes = good, zeros = good, cut = good;
    for (size_t i = scanStart + entropy / 3; i < scanStart + entropy / 3 + 60; i += 2) {
        allOnes[i] = 0xFF;
        allOnes[i + 1] = 0x00;
    }
    for (size_t i = scanStart + entropy / 4; i < scanStart + entropy / 2; ++i) zeros[i] = 0;
    cut.erase(cut.begin() + static_cast<ptrdiff_t>(scanStart + entropy / 2), cut.end() - 2);

    const std::pair<const char*, const std::vector<uint8_t>*> damages[] = {
        {"bad codes", &allOnes}, {"zeros", &zeros}, {"cut", &cut}};
    for (const auto& [what, damaged] : damages) {
        // TurboJPEG alone fills the damage in with grey and says it only warned.
        const PlainDecode plain = DecodeWithTurboJpeg(*damaged);
        EXPECT_EQ(plain.result, -1) << what;
        EXPECT_EQ(plain.errorCode, TJERR_WARNING) << what;
        ExpectNoBitmap(*damaged, what);
    }
}

}  // namespace
