// The image decoder on real JPEG frames made with TurboJPEG, damaged or made hostile.
#include <gtest/gtest.h>

#include "platform/imgdecmp.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using test_support::MakeQuadrantJpeg;

constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
HBITMAP const kUntouched = reinterpret_cast<HBITMAP>(0x5A5A5A);  // the handle before a decode

// Decodes as the frame holder does, from a buffer exactly the frame's size (so that ASan sees a
// read past it), the count reported `countOver` more; null when refused, which stores no handle.
HBITMAP Decode(std::vector<uint8_t> frame, int maxSide = 10000, DWORD countOver = 0) {
    DWORD count = static_cast<DWORD>(frame.size()) + countOver;
    HBITMAP bitmap = kUntouched;
    DECOMPRESSIMAGEINFO info{};
    info.dwBufferMax = static_cast<DWORD>(frame.size());
    if (frame.empty()) frame.push_back(0);
    info.pbBuffer = frame.data();
    info.phBM = &bitmap;
    info.lParam = reinterpret_cast<LPARAM>(&count);
    info.iScale = 100;
    info.iMaxWidth = info.iMaxHeight = maxSide;
    info.pfnGetData = [](LPSTR, DWORD, LPARAM count) { return *reinterpret_cast<DWORD*>(count); };
    const long result = DecompressImageIndirect(&info);
    EXPECT_EQ(result == S_OK, bitmap != kUntouched) << "result " << result;
    return result == S_OK ? bitmap : nullptr;
}

// Checks a 64 x 48 picture's first and last quadrant, then releases it.
void ExpectPicture(HBITMAP bitmap, uint32_t last = kColours[3]) {
    const QImage pixels = test_support::ReadBitmap(bitmap);
    ASSERT_EQ(QSize(64, 48), pixels.size()) << pixels.width() << " x " << pixels.height();
    EXPECT_TRUE(test_support::NearColour(pixels.pixel(16, 12), kColours[0]));
    EXPECT_TRUE(test_support::NearColour(pixels.pixel(48, 36), last));
    EXPECT_TRUE(DeleteObject(bitmap));
}

// Expects no bitmap, and a good frame to decode right after (a failed decode spoils nothing).
void ExpectRefused(const std::vector<uint8_t>& frame, int maxSide = 10000, DWORD countOver = 0) {
    const int before = platform_testing::LiveBitmapCount();
    EXPECT_EQ(nullptr, Decode(frame, maxSide, countOver));
    EXPECT_EQ(before, platform_testing::LiveBitmapCount());
    ExpectPicture(Decode(MakeQuadrantJpeg(64, 48, kColours)));
}

// Where each marker (FF and the code) begins, in order.
std::vector<size_t> Markers(const std::vector<uint8_t>& jpeg, uint8_t code) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) at.push_back(i);
    }
    return at;
}

// The frame with the size its header declares changed, its data left as it is.
std::vector<uint8_t> Declaring(std::vector<uint8_t> jpeg, int width, int height) {
    const size_t frameHeader = Markers(jpeg, 0xC0).at(0);
    const uint8_t size[] = {uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8),
                            uint8_t(width)};
    std::copy(std::begin(size), std::end(size), jpeg.begin() + frameHeader + 5);
    return jpeg;
}

TEST(DecompressImage, RefusesEmptyCutOversizedAndEndlessFramesBeforeTakingPixelMemory) {
    const std::vector<uint8_t> good = MakeQuadrantJpeg(64, 48, kColours);
    // A progressive frame whose last scan comes again and again: hundreds of scans, each a warning.
    std::vector<uint8_t> endless = MakeQuadrantJpeg(16, 16, kColours, {90, TJSAMP_444, true});
    const std::vector<uint8_t> lastScan(endless.begin() + Markers(endless, 0xDA).back(),
                                        endless.end() - 2);
    for (int i = 0; i < 600; ++i)
        endless.insert(endless.end() - 2, lastScan.begin(), lastScan.end());
    const struct {
        const char* what;
        std::vector<uint8_t> frame;
        int maxSide = 10000;
        DWORD countOver = 0;
    } rows[] = {
        {"empty", {}},
        {"headers cut short", {good.begin(), good.begin() + 100}},
        {"count past the buffer", good, 10000, 1},
        {"wider than the caller allows", good, 63},
        {"taller than the caller allows", Declaring(good, 48, 64), 63},
        {"4097 x 4096, over the pixel budget", Declaring(good, 4097, 4096)},
        {"65500 x 65500", Declaring(good, 65500, 65500)},
        {"600 scans more", endless},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ExpectRefused(r.frame, r.maxSide, r.countOver);
    }
    ExpectPicture(Decode(good, 64));  // exactly the caller's largest width
}

TEST(DecompressImage, ShowsFramesReadToTheEndWithWarningsButNoneAnErrorStopped) {
    const std::vector<uint8_t> baseline = MakeQuadrantJpeg(64, 48, kColours);
    const std::vector<uint8_t> progressive =
        MakeQuadrantJpeg(64, 48, kColours, {90, TJSAMP_444, true});
    const auto strayBytesBefore = [](std::vector<uint8_t> jpeg, size_t marker) {
        jpeg.insert(jpeg.begin() + static_cast<ptrdiff_t>(marker), {0x00, 0x5A, 0xA5});
        return jpeg;
    };
    const size_t scan = Markers(baseline, 0xDA).at(0);
    // Cut inside the entropy data, the end marker put back: the lower blocks are missing.
    std::vector<uint8_t> cut(baseline.begin(), baseline.begin() + (scan + baseline.size()) / 2);
    cut.insert(cut.end(), {0xFF, 0xD9});
    const std::vector<uint8_t> strayBetweenScans =
        strayBytesBefore(progressive, Markers(progressive, 0xDA).at(1));
    const struct {
        const char* what;
        std::vector<uint8_t> frame;
        uint32_t last;  // the last quadrant's colour, grey where its blocks are missing
    } warned[] = {
        {"stray bytes before the scan header", strayBytesBefore(baseline, scan), kColours[3]},
        {"stray bytes between scans", strayBetweenScans, kColours[3]},
        {"short entropy segment", cut, 0x808080},
    };
    for (const auto& w : warned) {
        SCOPED_TRACE(w.what);
        EXPECT_EQ(TJERR_WARNING, test_support::TurboJpegError(w.frame));
        ExpectPicture(Decode(w.frame), w.last);
    }
    // A marker no decoder knows stops the decode with an error, also after a warning, which
    // TurboJPEG then still reports as the error's kind.
    const std::pair<std::vector<uint8_t>, int> stopped[] = {{progressive, TJERR_FATAL},
                                                            {strayBetweenScans, TJERR_WARNING}};
    for (auto [frame, kind] : stopped) {
        frame[Markers(frame, 0xDA).at(4) + 1] = 0x02;
        EXPECT_EQ(kind, test_support::TurboJpegError(frame));
        ExpectRefused(frame);
    }
}

}  // namespace
