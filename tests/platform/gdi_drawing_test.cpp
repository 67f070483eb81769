// GDI drawing: rectangle fills, block copies with and without scaling, and text cells.
#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi.h"
#include "platform/gdi/image_dc.h"
#include "support/bitmap_pixels.h"

namespace {

constexpr QRgb kBackdrop = 0xFFFF0000;  // red: nothing has been drawn here
constexpr QRgb kA = 0xFF102030, kB = 0xFF405060, kC = 0xFF708090, kD = 0xFFA0B0C0;

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
    std::vector<QRgb> Row(int y) const {
        auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        return {row, row + image.width()};
    }

    QImage image;
    HDC dc;
};

TEST(GdiDrawing, FillRectExcludesRightAndBottomAndClips) {
    Canvas canvas(8, 8);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RECT rect{2, 3, 6, 5}, inverted{6, 6, 2, 2}, overhanging{-5, 6, 100, INT_MAX};
    EXPECT_NE(FillRect(canvas.dc, &rect, white), 0);
    FillRect(canvas.dc, &inverted, white);
    EXPECT_EQ(canvas.Drawn(), QRect(2, 3, 4, 2));
    canvas.image.fill(kBackdrop);
    FillRect(canvas.dc, &overhanging, white);
    EXPECT_EQ(canvas.Drawn(), QRect(0, 6, 8, 2));
    EXPECT_EQ(canvas.image.pixel(7, 7), 0xFFFFFFFFu);
}

TEST(GdiDrawing, BlockCopiesTakeTheNearestPixelAndSkipWhatLiesOutside) {
    using Row = std::vector<QRgb>;
    Canvas source(2, 2, {kA, kB, kC, kD});
    Canvas target(6, 4);
    EXPECT_TRUE(BitBlt(target.dc, 3, 1, 2, 2, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.image.copy(3, 1, 2, 2), source.image);
    EXPECT_EQ(target.Drawn(), QRect(3, 1, 2, 2));
    target.image.fill(kBackdrop);
    BitBlt(target.dc, 5, -1, 4, 4, source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(target.Row(0), (Row{kBackdrop, kBackdrop, kBackdrop, kBackdrop, kBackdrop, kC}));
    EXPECT_EQ(target.Drawn(), QRect(5, 0, 1, 1));
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 2, 2, source.dc, 0, 0, 0x00EE0086u));  // only SRCCOPY

    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 6, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.Row(0), (Row{kA, kA, kA, kB, kB, kB}));  // no smoothing
    EXPECT_EQ(target.Row(3), (Row{kC, kC, kC, kD, kD, kD}));
    StretchBlt(target.dc, 4, 0, -4, 4, source.dc, 0, 0, 2, 2, SRCCOPY);  // columns 0..3, mirrored
    EXPECT_EQ(target.Row(0), (Row{kB, kB, kA, kA, kB, kB}));
    // Within one surface a copy reads the pixels as they were; shrinking takes those under the
    // centres.
    Canvas row(4, 1, {kA, kB, kC, kD}), narrow(2, 1);
    StretchBlt(narrow.dc, 0, 0, 2, 1, row.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(narrow.Row(0), (Row{kB, kD}));
    BitBlt(row.dc, 1, 0, 3, 1, row.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(row.Row(0), (Row{kA, kA, kB, kC}));

    for (int w : {INT_MIN, -1, 0, INT_MAX}) {  // none of these crashes or overruns
        for (int h : {INT_MIN, -1, 0, INT_MAX}) {
            StretchBlt(target.dc, 3, 2, w, h, source.dc, 0, 0, 2, 2, SRCCOPY);
            StretchBlt(target.dc, 0, 0, 6, 4, source.dc, INT_MAX, 0, w, h, SRCCOPY);
        }
    }
}

TEST(GdiDrawing, DrawTextFillsTheTextsOwnCellTopLeftClippedToTheRectangle) {
    Canvas canvas(200, 40);
    EXPECT_EQ(SetTextColor(canvas.dc, RGB(255, 255, 255)), RGB(0, 0, 0));  // black on white
    EXPECT_EQ(SetBkColor(canvas.dc, RGB(0, 0, 0)), RGB(255, 255, 255));    // by default
    RECT rect{10, 5, 190, 35};
    const int height = DrawTextW(canvas.dc, u"Disconnected", -1, &rect, 0);
    const QRect cell = canvas.Drawn();
    EXPECT_EQ(cell.topLeft(), QPoint(10, 5));
    EXPECT_EQ(cell.height(), height);
    EXPECT_GT(cell.width(), 30);
    EXPECT_LT(cell.right(), 189);
    int bright = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QRgb pixel = canvas.image.pixel(x, y);
            ASSERT_EQ(qRed(pixel), qBlue(pixel)) << x << "," << y;  // opaque: white on black only
            bright += qGray(pixel) > 192;
        }
    }
    EXPECT_GT(bright, 20);
    // The same text in the default colours right after: the same glyphs, inverted.
    Canvas plain(200, 40);
    DrawTextW(plain.dc, u"Disconnected", -1, &rect, 0);
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const int sum = qGray(plain.image.pixel(x, y)) + qGray(canvas.image.pixel(x, y));
            ASSERT_NEAR(sum, 255, 2) << x << "," << y;
        }
    }

    // Clipped to the rectangle; -1 counts up to the zero unit, a count draws that many units.
    Canvas clipped(200, 40), toZero(100, 20), counted(100, 20), longer(100, 20);
    RECT narrow{20, 10, 50, 16}, line{0, 0, 100, 20};
    DrawTextW(clipped.dc, u"Disconnected", -1, &narrow, 0);
    EXPECT_EQ(clipped.Drawn(), QRect(20, 10, 30, 6));
    DrawTextW(toZero.dc, u"AB\0CD", -1, &line, 0);
    DrawTextW(counted.dc, u"ABCD", 2, &line, 0);
    DrawTextW(longer.dc, u"ABCD", 4, &line, 0);
    EXPECT_EQ(toZero.image, counted.image);
    EXPECT_GT(longer.Drawn().width(), counted.Drawn().width());

    // Text beyond U+00FF (and control characters) goes through the shaper and is drawn too,
    // in a cell of its own width.
    Canvas greek(100, 20), control(100, 20);
    DrawTextW(greek.dc, u"AB\u03a9\u03a9", -1, &line, 0);
    DrawTextW(control.dc, u"AB\u0001", -1, &line, 0);
    EXPECT_GT(greek.Drawn().width(), counted.Drawn().width());
    EXPECT_EQ(greek.Drawn().topLeft(), QPoint(0, 0));
    EXPECT_GE(control.Drawn().width(), counted.Drawn().width());
}

TEST(GdiDrawing, OnASurfaceWithARatioEdgesMapToTheNearestDevicePixel) {
    using Row = std::vector<QRgb>;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    Canvas source(4, 1, {kA, kB, kC, kD});
    // Logical edges 5, 166 and 235 across, 3, 23 and 63 down, in device pixels.
    const struct {
        qreal ratio;
        int x5, x166, x235, y3, y23, y63;
    } ratios[] = {{2, 10, 332, 470, 6, 46, 126}, {1.5, 8, 249, 353, 5, 35, 95}};
    for (const auto& r : ratios) {
        SCOPED_TRACE(r.ratio);
        Canvas canvas(480, 130);
        canvas.image.setDevicePixelRatio(r.ratio);
        // Two fills that share an edge share it on the device: no gap, no overlap.
        RECT left{5, 3, 166, 23}, right{166, 3, 235, 23};
        FillRect(canvas.dc, &left, black);
        EXPECT_EQ(canvas.Drawn(), QRect(QPoint(r.x5, r.y3), QPoint(r.x166 - 1, r.y23 - 1)));
        FillRect(canvas.dc, &right, white);
        EXPECT_EQ(canvas.Drawn(), QRect(QPoint(r.x5, r.y3), QPoint(r.x235 - 1, r.y23 - 1)));
        EXPECT_EQ(canvas.image.pixel(r.x166 - 1, r.y3), 0xFF000000u);
        EXPECT_EQ(canvas.image.pixel(r.x166, r.y3), 0xFFFFFFFFu);

        // A stretch covers the mapped block, from its first source pixel to its last.
        canvas.image.fill(kBackdrop);
        StretchBlt(canvas.dc, 5, 23, 161, 40, source.dc, 0, 0, 4, 1, SRCCOPY);
        EXPECT_EQ(canvas.Drawn(), QRect(QPoint(r.x5, r.y23), QPoint(r.x166 - 1, r.y63 - 1)));
        const Row row = canvas.Row(r.y23);
        EXPECT_EQ(row[r.x5], kA);
        EXPECT_EQ(row[r.x166 - 1], kD);

        // Text stays inside its mapped rectangle, its cell filling it where the text does.
        canvas.image.fill(kBackdrop);
        RECT narrow{5, 3, 166, 23};
        DrawTextW(canvas.dc, u"Disconnected Disconnected Disconnected", -1, &narrow, 0);
        const QRect drawn = canvas.Drawn();
        EXPECT_EQ(drawn.topLeft(), QPoint(r.x5, r.y3));
        EXPECT_EQ(drawn.right(), r.x166 - 1);
        EXPECT_LE(drawn.bottom(), r.y23 - 1);
    }
}

}  // namespace
