// The image decoder against decompression bombs: endless progressive scans, a huge declared
// picture in a few hundred bytes, and entropy data that only decodes with warnings. Each is first
// shown to be what it claims with TurboJPEG itself, then refused by the decoder without a bitmap.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <memory>
#include <vector>

#include "hostile_jpeg.h"
#include "platform/imgdecmp.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

HBITMAP const kUntouched = reinterpret_cast<HBITMAP>(0x5A5A5A);

struct Frame {
    std::vector<uint8_t> bytes;
};

DWORD ReportCount(LPSTR, DWORD, LPARAM lParam) {
    return static_cast<DWORD>(reinterpret_cast<const Frame*>(lParam)->bytes.size());
}

// The decoder on the whole frame, with the frame buffer's capacity and the holder's maxima.
HBITMAP Decode(Frame& frame, long* result) {
    HBITMAP bitmap = kUntouched;
    // A buffer of the frame buffer's capacity, as the holder passes it.
    frame.bytes.reserve(200000);
    DECOMPRESSIMAGEINFO info{};
    info.dwSize = 60;
    info.pbBuffer = frame.bytes.data();
    info.dwBufferMax = static_cast<DWORD>(frame.bytes.capacity());
    info.phBM = &bitmap;
    info.lParam = reinterpret_cast<LPARAM>(&frame);
    info.iScale = 100;
    info.iMaxWidth = info.iMaxHeight = 10000;
    info.pfnGetData = ReportCount;
    *result = DecompressImageIndirect(&info);
    return bitmap;
}

// What TurboJPEG alone makes of the bytes with these flags: 0, or its error code.
struct PlainDecode {
    int result = -1;
    int errorCode = -1;
    int width = 0;
    int height = 0;
};

PlainDecode DecodeWithTurboJpeg(const std::vector<uint8_t>& jpeg, int flags) {
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
    PlainDecode out;
    int subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), jpeg.data(), jpeg.size(), &out.width, &out.height,
                            &subsampling, &colorspace) != 0) {
        return out;
    }
    if (int64_t{out.width} * out.height > int64_t{1024} * 1024) return out;  // never a bomb here
    std::vector<uint8_t> pixels(static_cast<size_t>(out.width) * out.height * 4);
    out.result = tjDecompress2(handle.get(), jpeg.data(), jpeg.size(), pixels.data(), out.width, 0,
                               out.height, TJPF_BGRA, flags);
    out.errorCode = out.result == 0 ? 0 : tjGetErrorCode(handle.get());
    return out;
}

TEST(DecoderLimits, RefusesAProgressiveFrameWithHundredsOfScansAndKeepsOneWithFewer) {
    Frame endless{hostile_jpeg::ManyScans(10)};
    ASSERT_EQ(hostile_jpeg::ScanCount(endless.bytes), 694);
    EXPECT_LT(endless.bytes.size(), 8000u);
    // A valid picture: TurboJPEG decodes it without a warning unless scans are limited.
    const PlainDecode unlimited = DecodeWithTurboJpeg(endless.bytes, 0);
    EXPECT_EQ(unlimited.result, 0);
    EXPECT_EQ(unlimited.width, 8);
    EXPECT_EQ(DecodeWithTurboJpeg(endless.bytes, TJFLAG_LIMITSCANS).errorCode, TJERR_FATAL);

    const int before = platform_testing::LiveBitmapCount();
    long result = S_OK;
    EXPECT_EQ(Decode(endless, &result), kUntouched);
    EXPECT_EQ(result, E_FAIL);
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);

    // Below the limit the same kind of frame is an ordinary picture: flat mid-grey.
    Frame fewer{hostile_jpeg::ManyScans(4)};
    ASSERT_EQ(hostile_jpeg::ScanCount(fewer.bytes), 316);
    const HBITMAP bitmap = Decode(fewer, &result);
    ASSERT_EQ(result, S_OK);
    const QImage pixels = test_support::ReadBitmap(bitmap);
    ASSERT_EQ(pixels.size(), QSize(8, 8));
    EXPECT_TRUE(test_support::NearColour(pixels.pixel(3, 5), 0x808080))
        << std::hex << pixels.pixel(3, 5);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(DecoderLimits, RefusesHugeDeclaredPicturesFromTheHeaderAlone) {
    const int before = platform_testing::LiveBitmapCount();
    // 65500 x 65500 grey (4 GiB of pixels) in about 150 bytes, with the first few blocks of its
    // only scan; and 4097 x 4096, one column over the pixel budget.
    const struct { int width, height; } sizes[] = {{65500, 65500}, {4097, 4096}, {10000, 1}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        Frame bomb{hostile_jpeg::Baseline(size.width, size.height, 64)};
        EXPECT_LT(bomb.bytes.size(), 200u);
        const PlainDecode header = DecodeWithTurboJpeg(bomb.bytes, 0);
        EXPECT_EQ(header.width, size.width);
        EXPECT_EQ(header.height, size.height);
        long result = S_OK;
        EXPECT_EQ(Decode(bomb, &result), kUntouched);
        EXPECT_EQ(result, E_FAIL);
    }
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);

    // The same file whole at a size within the budget decodes: the refusal is the size alone.
    Frame fits{hostile_jpeg::Baseline(64, 64, 64)};
    long result = E_FAIL;
    const HBITMAP bitmap = Decode(fits, &result);
    ASSERT_EQ(result, S_OK);
    EXPECT_EQ(test_support::ReadBitmap(bitmap).size(), QSize(64, 64));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(DecoderLimits, RefusesBaselineFramesWhoseEntropyDataOnlyDecodesWithWarnings) {
    const std::vector<uint8_t> good = test_support::MakeJpeg(
        96, 64, [](int x, int y) { return static_cast<uint32_t>((x * 2) << 16 | (y * 3) << 8); },
        {85, TJSAMP_420});
    ASSERT_EQ(DecodeWithTurboJpeg(good, 0).result, 0);
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

    const int before = platform_testing::LiveBitmapCount();
    for (const auto* damaged : {&allOnes, &zeros, &cut}) {
        SCOPED_TRACE(damaged == &allOnes ? "bad codes" : damaged == &zeros ? "zeros" : "cut");
        ASSERT_EQ(damaged->size() == good.size(), damaged != &cut);
        // TurboJPEG alone fills the damage in with grey and says it only warned.
        const PlainDecode plain = DecodeWithTurboJpeg(*damaged, 0);
        EXPECT_EQ(plain.result, -1);
        EXPECT_EQ(plain.errorCode, TJERR_WARNING);
        Frame frame{*damaged};
        long result = S_OK;
        EXPECT_EQ(Decode(frame, &result), kUntouched);
        EXPECT_EQ(result, E_FAIL);
    }
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);
}

}  // namespace
