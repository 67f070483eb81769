// The frames the fake camera serves are real JPEGs with the caption where the viewer reads it.
#include "fakecamera/fake_camera.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <memory>
#include <string>

#include "fakecamera/captioned_jpeg.h"
#include "fakecamera/script_runner.h"

namespace {

struct Decoded {
    bool ok = false;
    int width = 0;
    int height = 0;
};

Decoded Decode(const std::vector<uint8_t>& jpeg) {
    std::unique_ptr<void, int (*)(tjhandle)> decoder(tjInitDecompress(), tjDestroy);
    Decoded result;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(decoder.get(), jpeg.data(), jpeg.size(), &result.width, &result.height,
                            &subsampling, &colourspace) != 0) {
        return result;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(result.width) * result.height * 3);
    result.ok = tjDecompress2(decoder.get(), jpeg.data(), jpeg.size(), pixels.data(), result.width,
                              0, result.height, TJPF_RGB, 0) == 0;
    return result;
}

TEST(CaptionedJpegTest, CarriesTheCaptionAtBytes24To42AndDecodes) {
    using fakecamera::Subsampling;
    for (const Subsampling subsampling :
         {Subsampling::k444, Subsampling::k422, Subsampling::k420, Subsampling::kGray}) {
        for (const bool progressive : {false, true}) {
            const auto jpeg = fakecamera::MakeCaptionedJpeg(97, 41, 75, subsampling, progressive,
                                                            "2024-05-01 12:34:56");
            ASSERT_GT(jpeg.size(), 43u);
            EXPECT_EQ(jpeg[0], 0xFF);
            EXPECT_EQ(jpeg[1], 0xD8);
            EXPECT_EQ(jpeg[20], 0xFF);
            EXPECT_EQ(jpeg[21], 0xFE);  // the comment segment
            EXPECT_EQ(std::string(jpeg.begin() + 24, jpeg.begin() + 43), "2024-05-01 12:34:56");
            EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
            EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);
            const Decoded decoded = Decode(jpeg);
            EXPECT_TRUE(decoded.ok);
            EXPECT_EQ(decoded.width, 97);
            EXPECT_EQ(decoded.height, 41);
        }
    }
    // A short caption is padded with blanks, a long one cut to 19 characters.
    auto jpeg = fakecamera::MakeCaptionedJpeg(8, 8, 90, fakecamera::Subsampling::k444, false, "ab");
    EXPECT_EQ(std::string(jpeg.begin() + 24, jpeg.begin() + 43), "ab                 ");
    jpeg = fakecamera::MakeCaptionedJpeg(8, 8, 90, fakecamera::Subsampling::k444, false,
                                         "0123456789012345678XYZ");
    EXPECT_EQ(std::string(jpeg.begin() + 24, jpeg.begin() + 43), "0123456789012345678");
    EXPECT_TRUE(Decode(jpeg).ok);
}

TEST(FakeCameraHeaderTest, PlacesCodeAndLengthFieldsAndTheirOverrides) {
    fakecamera::Script script;
    std::string header = fakecamera::BuildHeader(script, 0, 12345);
    ASSERT_EQ(header.size(), 32u);
    EXPECT_EQ(header.substr(20), "013000012345");
    script.codeText = "13";
    script.lengthText = [](int frame, size_t) { return frame == 0 ? "  200000" : "-1"; };
    header = fakecamera::BuildHeader(script, 0, 5);
    EXPECT_EQ(header.substr(20), std::string("13\0\0  200000", 12));
    header = fakecamera::BuildHeader(script, 1, 5);
    EXPECT_EQ(header.substr(24), std::string("-1\0\0\0\0\0\0", 8));
}

}  // namespace
