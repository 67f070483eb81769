// GDI: fills, block copies with and without scaling, and bitmap and memory context rules.
#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi/image_dc.h"
#include "platform/testing/hooks.h"
#include "support/bitmap_pixels.h"

namespace {

constexpr QRgb kBackdrop = 0xFFFF0000;  // red: nothing has been drawn here
constexpr QRgb kA = 0xFF102030, kB = 0xFF405060, kC = 0xFF708090, kD = 0xFFA0B0C0;
using Row = std::vector<QRgb>;

// An image with a device context drawing on it.
struct Canvas {
    Canvas(int width, int height, std::initializer_list<QRgb> pixels = {})
        : image(width, height, QImage::Format_RGB32) {
        image.fill(kBackdrop);
        int i = 0;
        for (QRgb pixel : pixels) image.setPixel(i % width, i / width, pixel), ++i;
        dc = CreateImageDC(&image);
    }
    ~Canvas() { DeleteImageDC(dc); }
    QRect Drawn() const { return test_support::ChangedArea(image, kBackdrop); }
    Row RowAt(int y) const {
        auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        return {row, row + image.width()};
    }
    QImage image;
    HDC dc;
};

TEST(GdiTest, FillsAndCopiesExcludeRightAndBottomClipAndTakeTheNearestPixel) {
    Canvas target(6, 4);
    RECT rect{2, 1, 5, 3}, overhanging{-5, 3, 100, INT_MAX};
    EXPECT_NE(0, FillRect(target.dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    FillRect(target.dc, &overhanging, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(QRect(0, 1, 6, 3), target.Drawn());
    EXPECT_EQ((Row{kBackdrop, kBackdrop, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, kBackdrop}),
              target.RowAt(1));

    Canvas source(2, 2, {kA, kB, kC, kD});
    target.image.fill(kBackdrop);
    EXPECT_TRUE(BitBlt(target.dc, 5, -1, 4, 4, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(QRect(5, 0, 1, 1), target.Drawn());
    EXPECT_EQ(kC, target.image.pixel(5, 0));
    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 6, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ((Row{kA, kA, kA, kB, kB, kB}), target.RowAt(0));  // no smoothing
    EXPECT_EQ((Row{kC, kC, kC, kD, kD, kD}), target.RowAt(3));
    Canvas row(4, 1, {kA, kB, kC, kD}), narrow(2, 1);
    StretchBlt(narrow.dc, 0, 0, 2, 1, row.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ((Row{kB, kD}), narrow.RowAt(0));  // shrinking takes the pixels under the centres
    for (int w : {INT_MIN, -1, 0, INT_MAX}) {   // none of these crashes or overruns
        StretchBlt(target.dc, 3, 2, w, w, source.dc, 0, 0, 2, 2, SRCCOPY);
        StretchBlt(target.dc, 0, 0, 6, 4, source.dc, INT_MAX, 0, w, 2, SRCCOPY);
    }
}

// A bitmap is black, in one context at a time, outlives it, and is deleted once and unselected.
TEST(GdiTest, BitmapsAreBlackAndSelectedIntoOneContextAtATime) {
    const int bitmaps = platform_testing::LiveBitmapCount();
    const int contexts = platform_testing::LiveDeviceContextCount();
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(first);
    HBITMAP a = CreateCompatibleBitmap(first, 37, 19), b = CreateCompatibleBitmap(first, 8, 2);
    BITMAP d{};
    EXPECT_EQ(static_cast<int>(sizeof(BITMAP)), GetObjectW(a, sizeof(d), &d));
    EXPECT_EQ(std::make_pair(37, 19), std::make_pair(int{d.bmWidth}, int{d.bmHeight}));
    QImage black(37, 19, QImage::Format_RGB32);
    black.fill(0xFF000000u);
    EXPECT_EQ(black, test_support::ReadBitmap(a));
    HGDIOBJ stock = SelectObject(first, a);
    EXPECT_TRUE(DeleteObject(stock));             // the stock bitmap is never released
    EXPECT_EQ(nullptr, SelectObject(second, a));  // already held by first
    EXPECT_FALSE(DeleteObject(a));                // selected bitmaps stay
    EXPECT_EQ(a, SelectObject(first, b));
    EXPECT_EQ(stock, SelectObject(second, a));
    EXPECT_TRUE(DeleteDC(second));  // deselects a, which lives on
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteDC(first));
    EXPECT_EQ(nullptr, SelectObject(first, stock));
    EXPECT_EQ(bitmaps, platform_testing::LiveBitmapCount());
    EXPECT_EQ(contexts, platform_testing::LiveDeviceContextCount());
}

}  // namespace
