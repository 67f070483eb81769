// The frame image holder: the frame buffer decoded into its bitmap, drawn onto the view.
#include "imaging/jpeg_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/frame_buffer.h"
#include "platform/gdi/image_dc.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"
#include "support/jpeg_maker.h"

namespace {

using platform_testing::LiveBitmapCount;
using test_support::MakeQuadrantJpeg;

constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
constexpr uint32_t kOthers[4] = {0xFFFF00, 0x0000FF, 0x00FF00, 0x000000};
constexpr QRgb kBackdrop = 0xFFFF00FF;  // what the surface shows before any drawing
const QRect kView(5, 90, 230, 172);     // the view's picture rectangle in the main window

// Puts a frame into the frame buffer as the camera thread does.
void LoadFrame(const std::vector<uint8_t>& frame) {
    if (!frame.empty()) std::memcpy(ImageData, frame.data(), frame.size());
    ImageDataLength = static_cast<int32_t>(frame.size());
}

// Draws the holder on a fresh surface: the view shows the quadrants of these colours, or nothing.
void ExpectViewShows(CJpegImage& image, const uint32_t (*colours)[4]) {
    QImage surface(240, 268, QImage::Format_RGB32);
    surface.fill(kBackdrop);
    const HDC dc = CreateImageDC(&surface);
    EXPECT_EQ(TRUE, image.Draw(dc, kView.x(), kView.y(), kView.width(), kView.height()));
    DeleteImageDC(dc);
    const QRect drawn = test_support::ChangedArea(surface, kBackdrop);
    EXPECT_EQ(colours ? kView : QRect(), drawn) << "drawn: " << drawn.x() << "," << drawn.y() << " "
                                                << drawn.width() << " x " << drawn.height();
    if (colours == nullptr) return;
    const int x[] = {kView.left() + 57, kView.right() - 57};
    const int y[] = {kView.top() + 43, kView.bottom() - 43};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(test_support::NearColour(surface.pixel(x[i % 2], y[i / 2]), (*colours)[i]));
    }
}

TEST(JpegImage, DecodesEachFrameOverTheLastDrawsItOnTheViewAndReleasesIt) {
    const int bitmaps = LiveBitmapCount();
    // The first decode in the process makes the memory device context, kept for the process.
    const int contexts = platform_testing::LiveDeviceContextCount() + (g_hMemDC == nullptr);
    QImage window(8, 8, QImage::Format_RGB32);
    const HDC dc = CreateImageDC(&window);
    const std::vector<uint8_t> good = MakeQuadrantJpeg(64, 48, kColours);
    std::vector<uint8_t> damaged = good;
    std::memset(damaged.data() + 2, 0x5A, 200);  // the headers are gone, the markers remain
    {
        CJpegImage image;
        const struct {
            const char* what;
            std::vector<uint8_t> frame;
            const uint32_t (*shows)[4];
        } frames[] = {
            {"640 x 480", MakeQuadrantJpeg(640, 480, kColours, {75, TJSAMP_420}), &kColours},
            {"tall", MakeQuadrantJpeg(32, 96, kOthers), &kOthers},
            {"damaged", damaged, nullptr},
            {"small", good, &kColours},
            {"empty", {}, nullptr},
            {"again", good, &kColours}};
        for (const auto& f : frames) {
            SCOPED_TRACE(f.what);
            LoadFrame(f.frame);
            EXPECT_EQ(TRUE, image.DecodeFrame(dc));
            ExpectViewShows(image, f.shows);
            EXPECT_EQ(bitmaps + (f.shows != nullptr), LiveBitmapCount());
        }
    }
    EXPECT_EQ(bitmaps, LiveBitmapCount());  // released by the destructor
    DeleteImageDC(dc);
    EXPECT_EQ(contexts, platform_testing::LiveDeviceContextCount());
}

}  // namespace
