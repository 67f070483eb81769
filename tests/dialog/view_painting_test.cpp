// What the view shows in each state, and the one image request each connected paint sends.
#include <QPainter>

#include "dialog/dialog_fixture.h"
#include "fakecamera/captioned_jpeg.h"
#include "platform/user/window_surface.h"
#include "support/jpeg_maker.h"
#include "support/pump_events.h"
#include "support/window_pixels.h"

namespace {

using test_support::Area;
using test_support::CountColour;

const RECT kAroundView = {4, 69, 236, 263};  // the view and one pixel beyond it on every side
const RECT kCaptionText = {5, 72, 165, 90};
const RECT kRateText = {165, 72, 235, 90};
const RECT kPicture = {5, 90, 235, 262};

int Differing(const QImage& a, const QImage& b, RECT rect) {  // pixels of rect that differ
    int differing = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) differing += a.pixel(x, y) != b.pixel(x, y);
    }
    return differing;
}

TEST_F(DialogTest, EachStatusCoversThePictureAndEachConnectedPaintDrawsTheBandsAndRequests) {
    CreateConnected();  // a live socket, so that any request would be counted
    QImage& surface = *GetWindowSurface(m_dialog->m_hWnd);
    auto smudge = [&](RECT r, QColor c) {  // as an exposure behind the view's back would leave it
        QPainter(&surface).fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), c);
    };
    // Red one pixel beyond the view on every side: each paint covers the view and no more.
    smudge(kAroundView, QColor(255, 0, 0));
    auto blue = test_support::MakeJpeg(320, 240, [](int, int) { return 0x2050D0u; });
    LoadFrame(fakecamera::InsertCaption(blue, "2026-12-06 19:45:00"));
    Arrive();
    ASSERT_TRUE(WaitForRequests(1));
    const QImage picture = surface.copy();
    ASSERT_GT(CountColour(picture, kPicture, 0x2050D0, 40), Area(kPicture) * 95 / 100);
    for (RECT band : {kCaptionText, kRateText}) {  // white glyphs in black cells
        EXPECT_GT(CountColour(picture, band, 0x000000), 100);
        EXPECT_GT(CountColour(picture, band, 0xFFFFFF, 60), 20);
    }
    // Each status paint leaves the view white with its text drawn; loading wins over the others.
    const struct {
        BOOL loading, trying, connected;
        const char16_t* text;
        LONG left;
    } states[] = {
        {TRUE, TRUE, TRUE, u"   Loading   ", 90},
        {FALSE, TRUE, TRUE, u"   Trying   ", 90},
        {FALSE, FALSE, FALSE, u"   Disconnected   ", 80},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(testing::Message() << "state " << &state - states);
        m_dialog->m_bLoading = state.loading;
        m_dialog->m_bTrying = state.trying;
        m_dialog->m_bConnected = state.connected;
        QImage expected = picture.convertToFormat(QImage::Format_RGB32);
        QPainter(&expected).fillRect(QRect(5, 70, 230, 192), Qt::white);
        DrawViewText(&expected, state.text, {state.left, 156, 180, 176});
        InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
        test_support::PumpEventsUntil(
            [&] { return Differing(surface, expected, kAroundView) == 0; });
        EXPECT_EQ(0, Differing(surface, expected, kAroundView));
    }
    Settle();
    EXPECT_EQ(1, m_camera.RequestCount()) << "a status paint sent a request";

    // Connected again, two paints with no new frame send two requests, leaving the caption band.
    m_dialog->m_bConnected = TRUE;
    smudge(kCaptionText, QColor(255, 0, 0));
    InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
    ASSERT_TRUE(WaitForRequests(2));
    InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
    ASSERT_TRUE(WaitForRequests(3));
    EXPECT_EQ(Area(kCaptionText), CountColour(surface, kCaptionText, 0xFF0000));

    // An undecodable frame with a new caption: the band is redrawn, the picture area is not.
    smudge(kPicture, QColor(0, 255, 0));
    std::vector<uint8_t> undecodable(100, 'n');
    undecodable[98] = 0xFF;
    undecodable[99] = 0xD9;
    LoadFrame(undecodable);
    Arrive();
    ASSERT_TRUE(WaitForRequests(4));
    EXPECT_EQ(0, CountColour(surface, kCaptionText, 0xFF0000));
    EXPECT_EQ(Area(kPicture), CountColour(surface, kPicture, 0x00FF00));
    Settle();
    EXPECT_EQ(4, m_camera.RequestCount());
}

TEST_F(DialogTest, AFailedRequestIsReportedAndClosesTheSocketButChangesNoState) {
    CreateConnected();
    const SOCKET s = m_dialog->m_socket;
    ASSERT_EQ(0, closesocket(s));
    m_trace.Clear();
    InvalidateRect(m_dialog->m_hWnd, nullptr, FALSE);
    ASSERT_TRUE(
        test_support::PumpEventsUntil([&] { return m_trace.Count("closesocket failed3") > 0; }));
    EXPECT_EQ((std::vector<std::string>{"write error", "SendImageRequestPacket returns FALSE",
                                        "closesocket failed3"}),
              m_trace.Messages());
    EXPECT_EQ(s, m_dialog->m_socket);
    EXPECT_TRUE(m_dialog->m_bConnected && m_dialog->m_bRunning && !m_dialog->m_bTrying);
}

}  // namespace
