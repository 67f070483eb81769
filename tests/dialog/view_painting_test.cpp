// What the view shows in each state, read back from the window's pixels, and the one image
// request that every connected paint sends.
#include <QDir>
#include <QPainter>

#include "common/frame_buffer.h"
#include "dialog/dialog_fixture.h"
#include "fakecamera/captioned_jpeg.h"
#include "platform/user/window_surface.h"
#include "support/jpeg_maker.h"
#include "support/pump_events.h"
#include "support/scoped_locale.h"
#include "support/window_pixels.h"

namespace {

using test_support::Area;
using test_support::CountColour;
using test_support::CountNotColour;
using test_support::GrabWindow;

const uint32_t kWhite = 0xFFFFFF;
const uint32_t kBlack = 0x000000;
const RECT kViewArea = {5, 70, 235, 262};
const RECT kStatusText = {90, 156, 180, 176};
const RECT kDisconnectedText = {80, 156, 180, 176};
const RECT kCaptionText = {5, 72, 165, 90};
const RECT kRateText = {165, 72, 235, 90};
const RECT kPicture = {5, 90, 235, 262};

// The view area outside one rectangle is all white.
bool WhiteOutside(const QImage& image, RECT inner) {
    return CountNotColour(image, kViewArea, kWhite) == CountNotColour(image, inner, kWhite);
}

// Fills a rectangle of the window's surface behind the view's back, as an exposure would leave it.
void Smudge(HWND hWnd, RECT rect, QColor colour) {
    QImage* surface = GetWindowSurface(hWnd);
    ASSERT_NE(surface, nullptr);
    QPainter painter(surface);
    painter.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                     colour);
}

std::vector<uint8_t> BlueFrame(const std::string& caption) {
    auto picture = test_support::MakeJpeg(320, 240, [](int, int) { return 0x2050D0u; });
    return fakecamera::InsertCaption(picture, caption);
}

class ViewPaintingTest : public DialogTest {
protected:
    // Invalidates and pumps until the grabbed window satisfies the predicate.
    QImage RepaintUntil(const std::function<bool(const QImage&)>& shows) {
        InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
        QImage image;
        test_support::PumpEventsUntil([&] {
            image = GrabWindow(m_dialog->m_hWnd);
            return shows(image);
        });
        return image;
    }
};

TEST_F(ViewPaintingTest, StatusStatesShowTheirTextOnWhiteAndSendNothing) {
    CreateConnected();  // a live socket, so that any request would be counted
    const struct {
        const char* name;
        BOOL loading, trying, connected;
        RECT text;
    } states[] = {
        {"loading wins whatever the other flags hold", TRUE, TRUE, TRUE, kStatusText},
        {"trying", FALSE, TRUE, TRUE, kStatusText},
        {"disconnected", FALSE, FALSE, FALSE, kDisconnectedText},
    };
    QImage before;
    for (const auto& state : states) {
        SCOPED_TRACE(state.name);
        m_dialog->m_bLoading = state.loading;
        m_dialog->m_bTrying = state.trying;
        m_dialog->m_bConnected = state.connected;
        if (!state.connected) m_dialog->m_btnConnect.SetWindowText(u"Disconnect");
        // Red one pixel beyond the view on every side: the paint covers the view and no more.
        const RECT around = {kViewArea.left - 1, kViewArea.top - 1, kViewArea.right + 1,
                             kViewArea.bottom + 1};
        Smudge(m_dialog->m_hWnd, around, QColor(255, 0, 0));
        const QRect band(80, 156, 100, 20);  // where the texts differ
        const QImage shown = RepaintUntil([&](const QImage& i) {
            return CountNotColour(i, state.text, kWhite) > 20 &&
                   i.copy(band) != before.copy(band) && CountColour(i, kViewArea, 0xFF0000) == 0;
        });
        EXPECT_GT(CountNotColour(shown, state.text, kWhite), 20);
        EXPECT_TRUE(WhiteOutside(shown, state.text));
        if (!before.isNull()) {  // the first paint of the dialog is a whole one
            EXPECT_EQ(CountColour(shown, around, 0xFF0000), Area(around) - Area(kViewArea));
        }
        before = shown;
    }
    // The disconnected paint puts the button back to Connect.
    CString label;
    m_dialog->m_btnConnect.GetWindowText(label);
    EXPECT_EQ(label.Text(), u"Connect");
    Settle();
    EXPECT_EQ(m_camera.RequestCount(), 0);
}

TEST_F(ViewPaintingTest, ConnectedPaintsDrawCaptionRateAndPictureAndRequestOneFrameEach) {
    CreateConnected();
    LoadFrame(BlueFrame("2026-12-06 19:45:00"));
    Arrive();
    ASSERT_TRUE(WaitForRequests(1));
    QImage view = GrabWindow(m_dialog->m_hWnd);
    // The picture is stretched over the whole picture area.
    EXPECT_GT(CountColour(view, kPicture, 0x2050D0, 40), Area(kPicture) * 95 / 100);
    // White glyphs in black cells in both bands.
    EXPECT_GT(CountColour(view, kCaptionText, kBlack), 200);
    EXPECT_GT(CountColour(view, kCaptionText, kWhite, 60), 20);
    EXPECT_GT(CountColour(view, kRateText, kBlack), 100);
    EXPECT_GT(CountColour(view, kRateText, kWhite, 60), 20);
    EXPECT_EQ(m_dialog->m_strLastStamp.Text(), u"2026-12-06 19:45:00");
    QDir().mkpath(QStringLiteral("artifacts"));
    EXPECT_TRUE(view.save(QStringLiteral("artifacts/connected_view.png")));

    // Two paints without a frame between them send two requests and leave the caption band
    // alone: the caption has not changed.
    Smudge(m_dialog->m_hWnd, kCaptionText, QColor(255, 0, 0));
    InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
    ASSERT_TRUE(WaitForRequests(2));
    InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
    ASSERT_TRUE(WaitForRequests(3));
    view = GrabWindow(m_dialog->m_hWnd);
    EXPECT_EQ(CountColour(view, kCaptionText, 0xFF0000), Area(kCaptionText));

    // An undecodable frame with a new caption: the band is redrawn, the picture area is not.
    Smudge(m_dialog->m_hWnd, kPicture, QColor(0, 255, 0));
    std::vector<uint8_t> undecodable(100, 0x33);
    undecodable[0] = 0xFF;
    undecodable[1] = 0xD8;
    for (int p = 24; p <= 42; ++p) undecodable[p] = 'n';
    undecodable[98] = 0xFF;
    undecodable[99] = 0xD9;
    LoadFrame(undecodable);
    Arrive();
    ASSERT_TRUE(WaitForRequests(4));
    view = GrabWindow(m_dialog->m_hWnd);
    EXPECT_EQ(CountColour(view, kCaptionText, 0xFF0000), 0);
    EXPECT_EQ(CountColour(view, kPicture, 0x00FF00), Area(kPicture));
    EXPECT_EQ(m_dialog->m_image.m_hBitmap, nullptr);
    Settle();
    EXPECT_EQ(m_camera.RequestCount(), 4);
}

TEST_F(ViewPaintingTest, TheRateReadsAlikeUnderADesktopLocaleWithADecimalComma) {
    CreateConnected();
    m_dialog->m_fFps = 12.5f;
    Settle();
    const QRect rateBand(kRateText.left, kRateText.top, kRateText.right - kRateText.left,
                         kRateText.bottom - kRateText.top);
    // "12.500000" as the "C" locale writes it, then under German conventions, set as the
    // application object sets the desktop's; read from the surface each paint draws on.
    QImage drawn[2];
    const char* const locales[2] = {"C", "de_DE.UTF-8"};
    for (int i = 0; i < 2; ++i) {
        const test_support::ScopedLocale locale(locales[i]);
        ASSERT_TRUE(locale.InForce());
        if (i == 1) {
            ASSERT_EQ(test_support::DecimalPoint(), ",");
        }
        const int requests = m_camera.RequestCount();
        InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
        ASSERT_TRUE(WaitForRequests(requests + 1));  // one connected paint
        drawn[i] = GetWindowSurface(m_dialog->m_hWnd)->copy(rateBand);
    }
    EXPECT_GT(CountColour(drawn[0], {0, 0, rateBand.width(), rateBand.height()}, kWhite, 60), 20);
    EXPECT_EQ(drawn[1], drawn[0]) << "the rate is not drawn as 12.500000 under de_DE.UTF-8";
}

TEST_F(ViewPaintingTest, AFailedRequestIsReportedAndClosesTheSocketButChangesNoState) {
    CreateConnected();
    const SOCKET s = m_dialog->m_socket;
    ASSERT_EQ(closesocket(s), 0);

    m_trace.Clear();
    InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
    ASSERT_TRUE(
        test_support::PumpEventsUntil([&] { return m_trace.Count("closesocket failed3") > 0; }));
    const std::vector<std::string> expected = {
        "write error", "SendImageRequestPacket returns FALSE", "closesocket failed3"};
    EXPECT_EQ(m_trace.Messages(), expected);
    EXPECT_EQ(m_dialog->m_socket, s);
    EXPECT_TRUE(m_dialog->m_bConnected);
    EXPECT_FALSE(m_dialog->m_bTrying);
    EXPECT_TRUE(m_dialog->m_bRunning);
}

}  // namespace
