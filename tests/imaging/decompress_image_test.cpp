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

    const std::pair<const char*, std::vector<uint8_t>> refused[] = {
        {"empty", {}},
        {"markers only", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"headers cut short", {good.begin(), good.begin() + 100}},
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

// Decompression bombs: endless progressive scans and a huge declared picture in a few hundred
// bytes. Each is first shown to be what it claims with TurboJPEG itself, then refused by the
// decoder without a bitmap.

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
    // only scan; 4097 x 4096, one column over the pixel budget; 10001 x 1, one column over the
    // caller's largest width.
    const struct { int width, height; } sizes[] = {{65500, 65500}, {4097, 4096}, {10001, 1}};
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

// Where each marker (FF and the code) begins, in order.
std::vector<size_t> Markers(const std::vector<uint8_t>& jpeg, uint8_t code) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) at.push_back(i);
    }
    return at;
}

std::vector<uint8_t> StrayBytesBefore(std::vector<uint8_t> jpeg, size_t marker) {
    jpeg.insert(jpeg.begin() + static_cast<ptrdiff_t>(marker), {0x00, 0x5A, 0xA5});
    return jpeg;
}

TEST(DecompressImage, ShowsFramesReadToTheEndWithWarningsButNoneAnErrorStopped) {
    const std::vector<uint8_t> baseline = MakeQuadrantJpeg(64, 48, kColours);
    const std::vector<uint8_t> progressive =
        MakeQuadrantJpeg(64, 48, kColours, {90, TJSAMP_444, true});
    const size_t scan = Markers(baseline, 0xDA).at(0);
    const size_t secondScan = Markers(progressive, 0xDA).at(1);
    // Cut inside the entropy data, the end marker put back.
    std::vector<uint8_t> cut(baseline.begin(), baseline.begin() + (scan + baseline.size()) / 2);
    cut.insert(cut.end(), {0xFF, 0xD9});

    const struct {
        const char* what;
        std::vector<uint8_t> frame;
        bool whole;  // every block is in the file
    } warned[] = {
        {"stray bytes before the scan header", StrayBytesBefore(baseline, scan), true},
        {"stray bytes between scans", StrayBytesBefore(progressive, secondScan), true},
        {"short entropy segment", cut, false},
    };
    for (const auto& w : warned) {
        SCOPED_TRACE(w.what);
        const PlainDecode plain = DecodeWithTurboJpeg(w.frame);
        ASSERT_EQ(plain.result, -1);
        EXPECT_EQ(plain.errorCode, TJERR_WARNING);
        const Decoded decoded = Decode(w.frame);
        ASSERT_EQ(decoded.result, S_OK);
        EXPECT_EQ(decoded.progressCalls, 1);
        const QImage pixels = test_support::ReadBitmap(decoded.bitmap);
        ASSERT_EQ(pixels.size(), QSize(64, 48));
        EXPECT_TRUE(test_support::NearColour(pixels.pixel(16, 12), kColours[0]));
        if (w.whole) {
            EXPECT_TRUE(test_support::NearColour(pixels.pixel(48, 36), kColours[3]));
        }
        EXPECT_TRUE(DeleteObject(decoded.bitmap));
    }

    // A marker no decoder knows stops the decode with an error, also after a warning, which
    // TurboJPEG then still reports as the error's kind.
    std::vector<uint8_t> unknown = progressive;
    unknown[Markers(unknown, 0xDA).at(4) + 1] = 0x02;
    std::vector<uint8_t> warnedThenUnknown = StrayBytesBefore(progressive, secondScan);
    warnedThenUnknown[Markers(warnedThenUnknown, 0xDA).at(4) + 1] = 0x02;
    EXPECT_EQ(DecodeWithTurboJpeg(unknown).errorCode, TJERR_FATAL);
    EXPECT_EQ(DecodeWithTurboJpeg(warnedThenUnknown).errorCode, TJERR_WARNING);
    ExpectNoBitmap(unknown, "unknown marker");
    ExpectNoBitmap(warnedThenUnknown, "stray bytes, then an unknown marker");
}

}  // namespace
