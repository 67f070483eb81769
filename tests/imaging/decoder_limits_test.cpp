// The image decoder against decompression bombs: endless progressive scans, a huge declared
// picture in a few hundred bytes, and entropy data that only decodes with warnings. Each is first
// shown to be what it claims with TurboJPEG itself, then refused by the decoder without a bitmap.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <memory>
#include <vector>

#include "decode_call.h"
#include "hostile_jpeg.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using namespace decode_call;

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
    const std::vector<uint8_t> endless = hostile_jpeg::ManyScans(10);
    ASSERT_EQ(hostile_jpeg::ScanCount(endless), 694);
    EXPECT_LT(endless.size(), 8000u);
    // A valid picture: TurboJPEG decodes it without a warning unless scans are limited.
    const PlainDecode unlimited = DecodeWithTurboJpeg(endless, 0);
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
        const PlainDecode header = DecodeWithTurboJpeg(bomb, 0);
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

    const std::pair<const char*, const std::vector<uint8_t>*> damages[] = {
        {"bad codes", &allOnes}, {"zeros", &zeros}, {"cut", &cut}};
    for (const auto& [what, damaged] : damages) {
        // TurboJPEG alone fills the damage in with grey and says it only warned.
        const PlainDecode plain = DecodeWithTurboJpeg(*damaged, 0);
        EXPECT_EQ(plain.result, -1) << what;
        EXPECT_EQ(plain.errorCode, TJERR_WARNING) << what;
        ExpectNoBitmap(*damaged, what);
    }
}

}  // namespace
