// The view on a screen with a device pixel ratio of 2: the window's surface has the screen's
// pixels, the picture is stretched onto them and the texts are rendered at their resolution,
// while the system draws in its own pixels. Moved to a screen of ratio 1.5, the surface follows.
// Run by the ctest entry dialog_ratio2 (QT_SCALE_FACTOR=2, and two offscreen screens whose own
// factors are 1 and 0.75); skipped at any other ratio.
#include <QApplication>
#include <QScreen>
#include <QWindow>

#include "dialog/dialog_fixture.h"
#include "fakecamera/captioned_jpeg.h"
#include "platform/gdi/image_dc.h"
#include "support/jpeg_maker.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace {

const char kCaption[] = "2026-12-06 19:45:00";
const QRect kCaptionText(10, 144, 320, 36);  // x 5..165, y 72..90, in device pixels
const int kFrameWidth = 460;                 // the picture area's size at ratio 2
const int kFrameHeight = 344;

// The frame: a one-pixel checkerboard.
bool Dark(int frameX, int frameY) {
    return (frameX + frameY) % 2 == 0;
}
bool Bright(QRgb pixel) {
    return qGray(pixel) > 128;
}

// The caption band as the view draws it on a surface without a ratio, enlarged to ratio 2.
QImage EnlargedCaption() {
    QImage surface(240, 268, QImage::Format_RGB32);
    surface.fill(Qt::white);
    HDC dc = CreateImageDC(&surface);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    RECT rect{5, 72, 165, 90};
    const std::u16string text = u"  " + std::u16string(kCaption, kCaption + sizeof kCaption - 1);
    DrawTextW(dc, text.c_str(), -1, &rect, 0);
    DeleteImageDC(dc);
    return surface.scaled(480, 536);
}

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

// The pixels of the picture area (device pixels) that are not the frame's pixel under their
// centre, stretched by nearest pixel.
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

class ViewAtRatioTwoTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        if (qApp->devicePixelRatio() != 2) GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";
    }
};

TEST_F(ViewAtRatioTwoTest, PictureAndCaptionAreDrawnOnTheScreensPixelsWhereverTheWindowGoes) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(2, screens.size());
    ASSERT_EQ(1.5, screens[1]->devicePixelRatio());
    CreateConnected();
    const auto board = test_support::MakeJpeg(
        kFrameWidth, kFrameHeight, [](int x, int y) { return Dark(x, y) ? 0x000000u : 0xFFFFFFu; },
        {.quality = 100});
    LoadFrame(fakecamera::InsertCaption(board, kCaption));
    Arrive();
    ASSERT_TRUE(WaitForRequests(1));

    // The caption's glyph edges fall between device pixels, where an enlarged rendering at
    // ratio 1 has none; in the text's black cell its glyphs span what they span at ratio 1.
    const QImage shown = test_support::GrabWindow(m_dialog->m_hWnd);
    const QImage enlarged = EnlargedCaption();
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

    // Every pixel of the picture area takes its own pixel of the frame (enlarged, they would come
    // in blocks), on the screen of ratio 1.5 and back on the first.
    QWindow* window = test_support::WidgetOf(m_dialog->m_hWnd)->windowHandle();
    ASSERT_NE(nullptr, window);
    const struct {
        QScreen* screen;
        QSize pixels;
        QRect picture;  // x 5..235, y 90..262 on the device, edges to the nearest pixel
    } moves[] = {
        {screens[1], QSize(360, 402), QRect(QPoint(8, 135), QPoint(352, 392))},
        {screens[0], QSize(480, 536), QRect(10, 180, 460, 344)},
    };
    int requests = m_camera.RequestCount();
    for (const auto& move : moves) {
        SCOPED_TRACE(move.screen->devicePixelRatio());
        window->setScreen(move.screen);
        // The move repaints the view, which requests a frame; what is shown is then drawn at the
        // new ratio, not the old surface scaled.
        ASSERT_TRUE(WaitForRequests(++requests));
        QImage moved;
        EXPECT_TRUE(test_support::PumpEventsUntil([&] {
            moved = test_support::GrabWindow(m_dialog->m_hWnd);
            return moved.size() == move.pixels;
        }));
        EXPECT_EQ(0, WrongPicturePixels(moved, move.picture));
    }
}

}  // namespace
