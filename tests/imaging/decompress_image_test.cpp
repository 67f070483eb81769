// The image decoder on real JPEG frames made with TurboJPEG, and on damaged and hostile ones.
#include <gtest/gtest.h>

#include <random>

#include "platform/imgdecmp.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using test_support::MakeQuadrantJpeg;
using test_support::NearColour;

constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
HBITMAP const kUntouched = reinterpret_cast<HBITMAP>(0x5A5A5A);

struct Decoded {
    long result = E_FAIL;
    HBITMAP bitmap = kUntouched;
    DWORD count = 0;  // what the data callback reports
    int progressCalls = 0;
};

DWORD ReportCount(LPSTR, DWORD, LPARAM lParam) {
    return reinterpret_cast<Decoded*>(lParam)->count;
}
void CountProgress(IImageRender*, BOOL complete, LPARAM lParam) {
    reinterpret_cast<Decoded*>(lParam)->progressCalls += complete;
}

// Decodes buffer with `count` reported by the data callback and `capacity` as its size.
Decoded Decode(std::vector<uint8_t>& buffer, DWORD count, DWORD capacity, int maxSide = 10000) {
    Decoded out;
    out.count = count;
    DECOMPRESSIMAGEINFO info{};
    info.dwSize = 60;
    info.pbBuffer = buffer.data();
    info.dwBufferMax = capacity;
    info.phBM = &out.bitmap;
    info.lParam = reinterpret_cast<LPARAM>(&out);
    info.iScale = 100;
    info.iMaxWidth = info.iMaxHeight = maxSide;
    info.pfnGetData = ReportCount;
    info.pfnImageProgress = CountProgress;
    out.result = DecompressImageIndirect(&info);
    return out;
}

Decoded Decode(std::vector<uint8_t>& frame, int maxSide = 10000) {
    const auto size = static_cast<DWORD>(frame.size());
    return Decode(frame, size, size, maxSide);
}

// A failed decode stores no handle and makes no bitmap, and the next good frame still decodes.
void ExpectNoBitmap(std::vector<uint8_t> frame, const char* what) {
    SCOPED_TRACE(what);
    const auto count = static_cast<DWORD>(frame.size());
    frame.push_back(0);  // a real buffer even for an empty frame; the count leaves it out
    const int before = platform_testing::LiveBitmapCount();
    const Decoded decoded = Decode(frame, count, count);
    EXPECT_EQ(decoded.result, E_FAIL);
    EXPECT_EQ(decoded.bitmap, kUntouched);
    EXPECT_EQ(decoded.progressCalls, 0);
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);
    std::vector<uint8_t> good = MakeQuadrantJpeg(16, 16, kColours);
    const Decoded next = Decode(good);
    EXPECT_EQ(next.result, S_OK);
    DeleteObject(next.bitmap);
}

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
        std::vector<uint8_t> frame = MakeQuadrantJpeg(c.width, c.height, kColours, c.layout);
        const Decoded decoded = Decode(frame);
        ASSERT_EQ(decoded.result, S_OK);
        EXPECT_EQ(decoded.progressCalls, 1);
        const QImage pixels = test_support::ReadBitmap(decoded.bitmap);
        ASSERT_EQ(pixels.size(), QSize(c.width, c.height));
        for (int i = 0; i < 4; ++i) {
            const int x = c.width * (1 + 2 * (i % 2)) / 4, y = c.height * (1 + 2 * (i / 2)) / 4;
            EXPECT_TRUE(NearColour(pixels.pixel(x, y), kColours[i])) << "block " << i;
        }
        EXPECT_TRUE(DeleteObject(decoded.bitmap));
    }
}

TEST(DecompressImage, KeepsToTheReportedCountTheCapacityAndTheSizeLimits) {
    const std::vector<uint8_t> jpeg = MakeQuadrantJpeg(64, 48, kColours);
    const auto size = static_cast<DWORD>(jpeg.size());
    std::vector<uint8_t> larger = jpeg;  // the frame, then other bytes: only the count is read
    larger.resize(jpeg.size() + 5000, 0xA5);
    Decoded decoded = Decode(larger, size, static_cast<DWORD>(larger.size()), 64);
    EXPECT_EQ(decoded.result, S_OK);  // exactly the largest width allowed
    DeleteObject(decoded.bitmap);

    const int before = platform_testing::LiveBitmapCount();
    // A count above the capacity is refused before a byte past the buffer is read (the
    // buffer is exactly the frame, so the address sanitiser would catch an over-read).
    std::vector<uint8_t> exact = jpeg;
    EXPECT_EQ(Decode(exact, size + 1, size).bitmap, kUntouched);
    EXPECT_EQ(Decode(exact, 63).bitmap, kUntouched);  // wider than the maximum
    // A valid frame within the maxima but over the pixel budget (4096 x 4096) is refused.
    std::vector<uint8_t> wide =
        test_support::MakeJpeg(8200, 2048, [](int, int) { return 0x808080u; }, {50, TJSAMP_GRAY});
    EXPECT_EQ(Decode(wide).bitmap, kUntouched);
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);
}

TEST(DecompressImage, RefusesEmptyDamagedAndHostileFrames) {
    const std::vector<uint8_t> good = MakeQuadrantJpeg(64, 48, kColours);
    ExpectNoBitmap({}, "empty");
    ExpectNoBitmap({0xFF, 0xD8, 0xFF, 0xD9}, "markers only");
    ExpectNoBitmap({good.begin(), good.begin() + 100}, "headers cut short");
    std::vector<uint8_t> huge = good;
    ASSERT_TRUE(test_support::SetDeclaredSize(huge, 65000, 65000));
    ExpectNoBitmap(huge, "declares 65000 x 65000");
    ASSERT_TRUE(test_support::SetDeclaredSize(huge, 9000, 9000));
    ExpectNoBitmap(huge, "declares 9000 x 9000: within the maxima, over the budget");

    // Cut short (end marker appended), or stray bytes before the end marker: TurboJPEG decodes
    // both with a warning only, and the decoder refuses them.
    std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() * 6 / 10);
    truncated.insert(truncated.end(), {0xFF, 0xD9});
    std::vector<uint8_t> stray(good.begin(), good.end() - 2);
    stray.insert(stray.end(), {0x00, 0x11, 0x22, 0xFF, 0xD9});
    for (const auto* frame : {&truncated, &stray}) {
        std::unique_ptr<void, int (*)(tjhandle)> plain(tjInitDecompress(), tjDestroy);
        std::vector<uint8_t> pixels(64 * 48 * 4);
        EXPECT_EQ(tjDecompress2(plain.get(), frame->data(), frame->size(), pixels.data(), 64, 0, 48,
                                TJPF_BGRA, 0),
                  -1);
        EXPECT_EQ(tjGetErrorCode(plain.get()), TJERR_WARNING);
        ExpectNoBitmap(*frame, frame == &truncated ? "truncated" : "stray bytes");
    }
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
