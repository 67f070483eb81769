// The view at device pixel ratio 2 and moved to a screen of 1.5: picture and caption reach the
// screen's pixels. Run by the ctest entry dialog_ratio2 (QT_SCALE_FACTOR=2, two screens).
#include <QApplication>
#include <QScreen>
#include <QWindow>

#include "dialog/dialog_fixture.h"
#include "fakecamera/captioned_jpeg.h"
#include "support/jpeg_maker.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace {

const QRect kCaptionText(10, 144, 320, 36);  // x 5..165, y 72..90, in device pixels
const int kFrameWidth = 460;                 // the picture area's size at ratio 2
const int kFrameHeight = 344;

const auto Dark = [](int x, int y) { return (x + y) % 2 == 0; };  // a one-pixel checkerboard
const auto Bright = [](QRgb pixel) { return qGray(pixel) > 128; };

// The bounding box of an area's bright (or dark) pixels.
QRect BoxOf(const QImage& image, const QRect& area, bool bright) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (Bright(image.pixel(x, y)) == bright) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The pixels of the picture area that are not the frame's pixel under their centre.
int WrongPicturePixels(const QImage& shown, const QRect& picture) {
    int wrong = 0;
    for (int y = picture.top(); y <= picture.bottom(); ++y) {
        const int row = (2 * (y - picture.top()) + 1) * kFrameHeight / (2 * picture.height());
        for (int x = picture.left(); x <= picture.right(); ++x) {
            const int column = (2 * (x - picture.left()) + 1) * kFrameWidth / (2 * picture.width());
            wrong += Bright(shown.pixel(x, y)) == Dark(column, row);
        }
    }
    return wrong;
}

TEST_F(DialogTest, AtRatioTwoPictureAndCaptionAreDrawnOnTheScreensPixelsWhereverTheWindowGoes) {
    if (qApp->devicePixelRatio() != 2) GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";
    CreateConnected();
    const auto board = test_support::MakeJpeg(
        kFrameWidth, kFrameHeight, [](int x, int y) { return Dark(x, y) ? 0x000000u : 0xFFFFFFu; },
        {.quality = 100});
    LoadFrame(fakecamera::InsertCaption(board, "2026-12-06 19:45:00"));
    Arrive();
    ASSERT_TRUE(WaitForRequests(1));
    const QImage shown = test_support::GrabWindow(m_dialog->m_hWnd);
    EXPECT_EQ(0, WrongPicturePixels(shown, QRect(10, 180, 460, 344)));

    // The caption drawn at ratio 1 and enlarged has no glyph edges between device pixels; the
    // view's caption differs from it there, yet its glyphs span the same box.
    QImage enlarged(240, 268, QImage::Format_RGB32);
    enlarged.fill(Qt::white);
    DrawViewText(&enlarged, u"  2026-12-06 19:45:00", {5, 72, 165, 90}, RGB(255, 255, 255),
                 RGB(0, 0, 0));
    enlarged = enlarged.scaled(480, 536);
    int differing = 0;
    for (int y = kCaptionText.top(); y <= kCaptionText.bottom(); ++y) {
        for (int x = kCaptionText.left(); x <= kCaptionText.right(); ++x) {
            differing += Bright(shown.pixel(x, y)) != Bright(enlarged.pixel(x, y));
        }
    }
    EXPECT_GT(differing, 200);
    const QRect cell = BoxOf(enlarged, kCaptionText, false);
    const QRect crisp = BoxOf(shown, cell, true);
    const QRect blocky = BoxOf(enlarged, cell, true);
    ASSERT_FALSE(blocky.isNull());
    for (auto edge : {&QRect::left, &QRect::right, &QRect::top, &QRect::bottom}) {
        EXPECT_NEAR((blocky.*edge)(), (crisp.*edge)(), 2);
    }

    // Moved to the screen of ratio 1.5, repainted (a request) on that screen's pixels, not scaled.
    QScreen* screen = QGuiApplication::screens().value(1);
    ASSERT_TRUE(screen != nullptr && screen->devicePixelRatio() == 1.5);
    test_support::WidgetOf(m_dialog->m_hWnd)->windowHandle()->setScreen(screen);
    ASSERT_TRUE(WaitForRequests(2));
    QImage moved;
    EXPECT_TRUE(test_support::PumpEventsUntil([&] {
        moved = test_support::GrabWindow(m_dialog->m_hWnd);
        return moved.size() == QSize(360, 402);
    })) << moved.width()
        << "x" << moved.height();
    EXPECT_EQ(0, WrongPicturePixels(moved, QRect(QPoint(8, 135), QPoint(352, 392))));
}

}  // namespace
