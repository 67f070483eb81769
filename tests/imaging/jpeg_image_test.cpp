// The frame image holder: decoding ImageData into its bitmap and drawing it onto a surface.
#include "imaging/jpeg_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/frame_buffer.h"
#include "platform/gdi/image_dc.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using test_support::NearColour;

constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
constexpr uint32_t kOthers[4] = {0xFFFF00, 0x0000FF, 0x00FF00, 0x000000};
constexpr QRgb kBackdrop = 0xFFFF00FF;  // what the surface shows before any drawing
const QRect kView(5, 90, 230, 172);     // the view's picture rectangle in the main window

class JpegImageTest : public testing::Test {
protected:
    void SetUp() override {
        surface_.fill(kBackdrop);
        dc_ = CreateImageDC(&surface_);
    }
    void TearDown() override {
        DeleteImageDC(dc_);
        ImageDataLength = 0;
    }

    // Puts a frame into the frame buffer as the camera thread would.
    static void LoadFrame(const std::vector<uint8_t>& frame) {
        if (!frame.empty()) std::memcpy(ImageData, frame.data(), frame.size());
        ImageDataLength = static_cast<int32_t>(frame.size());
    }
    static std::vector<uint8_t> Frame(int width, int height, const uint32_t (&colours)[4]) {
        return test_support::MakeQuadrantJpeg(width, height, colours, {75, TJSAMP_420});
    }

    QRect Drawn() const { return test_support::ChangedArea(surface_, kBackdrop); }
    // Checks the four blocks of a quadrant picture stretched onto the view.
    void ExpectViewShows(const uint32_t (&colours)[4]) const {
        EXPECT_EQ(Drawn(), kView);
        const int x[] = {kView.left() + 57, kView.right() - 57};
        const int y[] = {kView.top() + 43, kView.bottom() - 43};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(NearColour(surface_.pixel(x[i % 2], y[i / 2]), colours[i]));
    }

    QImage surface_{240, 268, QImage::Format_RGB32};
    HDC dc_ = nullptr;
};

TEST_F(JpegImageTest, DecodesEachFrameStretchesItOntoTheViewAndReleasesItOnce) {
    const int bitmaps = platform_testing::LiveBitmapCount();
    // The first decode in the process makes the memory device context.
    const int contexts = platform_testing::LiveDeviceContextCount() + (g_hMemDC == nullptr);
    HBITMAP last = nullptr;
    {
        CJpegImage image;  // empty: draws nothing
        EXPECT_EQ(image.Draw(dc_, kView.x(), kView.y(), kView.width(), kView.height()), TRUE);
        EXPECT_EQ(image.Draw(dc_, 0, 0, -1, -1), TRUE);
        EXPECT_TRUE(Drawn().isNull());
        EXPECT_LT(static_cast<void*>(&image.m_nHeight), static_cast<void*>(&image.m_nWidth));
        EXPECT_LT(static_cast<void*>(&image.m_nWidth), static_cast<void*>(&image.m_hBitmap));

        LoadFrame(Frame(640, 480, kColours));
        EXPECT_EQ(image.DecodeFrame(dc_), TRUE);
        ASSERT_NE(image.m_hBitmap, nullptr);
        EXPECT_EQ(image.m_nWidth, 640);
        EXPECT_EQ(image.m_nHeight, 480);
        const HDC memoryDc = g_hMemDC;
        ASSERT_NE(memoryDc, nullptr);
        // Draw hands back the selection it found in the memory device context.
        HBITMAP probe = CreateCompatibleBitmap(nullptr, 2, 2);
        HGDIOBJ original = SelectObject(g_hMemDC, probe);
        EXPECT_EQ(image.Draw(dc_, kView.x(), kView.y(), kView.width(), kView.height()), TRUE);
        EXPECT_EQ(SelectObject(g_hMemDC, original), probe);
        EXPECT_TRUE(DeleteObject(probe));
        ExpectViewShows(kColours);

        // Each next frame, tall, wide or small, replaces it and covers the same view.
        for (int frame = 0; frame < 12; ++frame) {
            const int width = frame == 0 ? 32 : 48 + frame % 3 * 16, height = frame == 0 ? 96 : 32;
            LoadFrame(Frame(width, height, frame % 2 ? kColours : kOthers));
            image.DecodeFrame(dc_);
            EXPECT_EQ(QSize(image.m_nWidth, image.m_nHeight), QSize(width, height));
            image.Draw(dc_, kView.x(), kView.y(), kView.width(), kView.height());
            ExpectViewShows(frame % 2 ? kColours : kOthers);
            EXPECT_EQ(platform_testing::LiveBitmapCount(), bitmaps + 1);
        }
        EXPECT_EQ(g_hMemDC, memoryDc);  // made once
        last = image.m_hBitmap;
    }
    EXPECT_FALSE(DeleteObject(last));  // released by the destructor
    EXPECT_EQ(platform_testing::LiveBitmapCount(), bitmaps);
    EXPECT_EQ(platform_testing::LiveDeviceContextCount(), contexts);
    EXPECT_EQ(GetDeviceCaps(g_hMemDC, BITSPIXEL), 32);  // outlives every holder
}

TEST_F(JpegImageTest, DrawsAtOwnSizeOnlyForMinusOneByMinusOne) {
    CJpegImage image;
    LoadFrame(Frame(64, 48, kColours));
    image.DecodeFrame(dc_);
    image.Draw(dc_, 10, 20, -1, -1);
    EXPECT_EQ(Drawn(), QRect(10, 20, 64, 48));
    EXPECT_EQ(surface_.copy(10, 20, 64, 48), test_support::ReadBitmap(image.m_hBitmap));

    // Width -1 with a height is a stretch, passed on as it is: the mirrored bitmap squeezed
    // into the one pixel wide column left of x.
    surface_.fill(kBackdrop);
    image.Draw(dc_, kView.x(), kView.y(), -1, kView.height());
    EXPECT_EQ(Drawn(), QRect(kView.x() - 1, kView.y(), 1, kView.height()));
}

TEST_F(JpegImageTest, AFailedOrEmptyFrameLeavesTheHolderEmpty) {
    const int bitmaps = platform_testing::LiveBitmapCount();
    CJpegImage image;
    const std::vector<uint8_t> good = Frame(64, 48, kColours);
    std::vector<uint8_t> damaged = good;
    std::memset(damaged.data() + 2, 0x5A, 200);  // the headers are gone, the markers remain
    for (const auto& bad : {damaged, std::vector<uint8_t>{}}) {
        LoadFrame(good);
        image.DecodeFrame(dc_);
        ASSERT_NE(image.m_hBitmap, nullptr);
        LoadFrame(bad);
        EXPECT_EQ(image.DecodeFrame(dc_), TRUE);
        EXPECT_EQ(image.m_hBitmap, nullptr);  // the previous picture is not kept
        EXPECT_EQ(image.m_nWidth, 64);        // and the sizes stay as they were
        EXPECT_EQ(platform_testing::LiveBitmapCount(), bitmaps);
        image.Draw(dc_, kView.x(), kView.y(), kView.width(), kView.height());
        EXPECT_TRUE(Drawn().isNull());
    }
    // The data callback reports the frame's length and copies nothing.
    char destination[16];
    std::memset(destination, 0xCC, sizeof(destination));
    ImageDataLength = 123456;
    EXPECT_EQ(CJpegImage::GetFrameData(destination, sizeof(destination), 0), 123456u);
    for (char byte : destination) EXPECT_EQ(static_cast<unsigned char>(byte), 0xCC);
}

}  // namespace
