// The frames the fake camera serves are real JPEGs with the caption where the viewer reads it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "fakecamera/captioned_jpeg.h"
#include "support/jpeg_maker.h"

namespace {

// The decode's result and the picture's size, from TurboJPEG alone.
std::tuple<int, int, int> Decoded(const std::vector<uint8_t>& jpeg) {
    const test_support::PlainDecode plain = test_support::DecodeWithTurboJpeg(jpeg);
    return {plain.result, plain.width, plain.height};
}

std::string Caption(const std::vector<uint8_t>& jpeg) {
    return jpeg.size() < 43 ? "" : std::string(jpeg.begin() + 24, jpeg.begin() + 43);
}

TEST(CaptionedJpegTest, CarriesTheCaptionAtBytes24To42AndDecodes) {
    using fakecamera::Subsampling;
    for (const Subsampling subsampling :
         {Subsampling::k444, Subsampling::k422, Subsampling::k420, Subsampling::kGray}) {
        for (const bool progressive : {false, true}) {
            const auto jpeg = fakecamera::MakeCaptionedJpeg(97, 41, 75, subsampling, progressive,
                                                            "2024-05-01 12:34:56");
            ASSERT_GT(jpeg.size(), 43u);
            EXPECT_EQ(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 2),
                      (std::vector<uint8_t>{0xFF, 0xD8}));
            EXPECT_EQ(std::vector<uint8_t>(jpeg.begin() + 20, jpeg.begin() + 22),
                      (std::vector<uint8_t>{0xFF, 0xFE}));  // the comment segment
            EXPECT_EQ(std::vector<uint8_t>(jpeg.end() - 2, jpeg.end()),
                      (std::vector<uint8_t>{0xFF, 0xD9}));
            EXPECT_EQ(Caption(jpeg), "2024-05-01 12:34:56");
            EXPECT_EQ(Decoded(jpeg), std::make_tuple(0, 97, 41));
        }
    }
    // A short caption is padded with blanks, a long one cut to 19 characters.
    const auto make = [](const char* caption) {
        return fakecamera::MakeCaptionedJpeg(8, 8, 90, fakecamera::Subsampling::k444, false,
                                             caption);
    };
    EXPECT_EQ(Caption(make("ab")), "ab                 ");
    EXPECT_EQ(Caption(make("0123456789012345678XYZ")), "0123456789012345678");
    EXPECT_EQ(Decoded(make("0123456789012345678XYZ")), std::make_tuple(0, 8, 8));
}

}  // namespace
