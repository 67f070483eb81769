// Painting: invalidations coalesce into one paint, a paint never erases what it does not draw,
// a hidden window gets no paints, and a control's own repaint does not paint its dialog.
// Invalidations queued from another thread are painted once each and shown, the latest paint
// last.
#include <thread>

#include "platform/user/window_surface.h"
#include "tests/platform/user_test_helpers.h"

namespace {

const RECT kView = {5, 70, 235, 262};
const RECT kSpot = {100, 150, 140, 190};

// The first paint blackens the view; every later one whitens only a spot in it.
class PaintDlg : public CDialog {
public:
    PaintDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}
    int paints = 0;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++paints;
        CBrush brush;
        brush.Attach(GetStockObject(paints == 1 ? BLACK_BRUSH : WHITE_BRUSH));
        FillRect(dc, paints == 1 ? &kView : &kSpot, brush);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintDlg, CDialog)
ON_WM_PAINT()
END_MESSAGE_MAP()

// Fills the spot with the colour the test chose, counting its paints.
class SpotDlg : public CDialog {
public:
    SpotDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}
    int paints = 0;
    int stock = BLACK_BRUSH;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++paints;
        CBrush brush;
        brush.Attach(GetStockObject(stock));
        FillRect(dc, &kSpot, brush);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SpotDlg, CDialog)
ON_WM_PAINT()
END_MESSAGE_MAP()

// Lets every event already due be handled (nothing is expected to happen).
void Settle() {
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(100));
}

TEST(PaintTest, InvalidationsCoalesceAPaintKeepsWhatItDoesNotDrawAndOnlyShownDialogsPaint) {
    const int contexts = platform_testing::LiveDeviceContextCount();
    PaintDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return dlg.paints >= 1; }));
    Settle();
    const int afterShow = dlg.paints;

    InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
    dlg.Invalidate(TRUE);  // the erase flag changes nothing
    InvalidateRect(dlg.m_hWnd, &kSpot, FALSE);
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return dlg.paints == afterShow + 1; }));
    Settle();
    EXPECT_EQ(dlg.paints, afterShow + 1);

    const QImage shown = test_support::GrabWindow(dlg.m_hWnd);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(test_support::CountColour(shown, kSpot, 0xFFFFFF), test_support::Area(kSpot));
    const int viewBlack = test_support::CountColour(shown, kView, 0x000000);
    EXPECT_EQ(viewBlack, test_support::Area(kView) - test_support::Area(kSpot));
    // The surface keeps the same pixels between paints.
    const QImage* surface = GetWindowSurface(dlg.m_hWnd);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->size(), QSize(240, 268));
    EXPECT_EQ(surface->pixel(50, 100), qRgb(0, 0, 0));
    // A window's device context is released by that window only; a control has no surface.
    CWnd* button = dlg.GetDlgItem(IDC_BUTTON_CONNECT);
    EXPECT_EQ(GetDC(button->m_hWnd), nullptr);
    HDC windowDc = GetDC(dlg.m_hWnd);
    ASSERT_NE(windowDc, nullptr);
    EXPECT_EQ(ReleaseDC(button->m_hWnd, windowDc), 0);
    EXPECT_FALSE(DeleteDC(windowDc));
    EXPECT_EQ(ReleaseDC(dlg.m_hWnd, windowDc), 1);
    EXPECT_EQ(ReleaseDC(dlg.m_hWnd, windowDc), 0);
    EXPECT_EQ(platform_testing::LiveDeviceContextCount(), contexts);

    // A control that changes repaints itself only; a hidden window gets no paint.
    const int painted = dlg.paints;
    button->SetWindowText(u"Disconnect");
    Settle();
    EXPECT_EQ(dlg.paints, painted);
    EXPECT_EQ(user_test::TextOf(*button), u"Disconnect");
    QWidget* widget = test_support::WidgetOf(dlg.m_hWnd);
    widget->hide();
    InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
    Settle();
    EXPECT_EQ(dlg.paints, painted);
    // Shown again, the window is painted.
    widget->show();
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return dlg.paints > painted; }));
    EXPECT_TRUE(dlg.DestroyWindow());
}

// Counts the Qt paints of a widget: what reached the screen.
class QtPaintCounter : public QObject {
public:
    explicit QtPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(PaintTest, InvalidationsFromAnotherThreadPaintOnceEachAndTheLatestPaintIsShown) {
    SpotDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return dlg.paints >= 1; }));
    Settle();
    QWidget* widget = test_support::WidgetOf(dlg.m_hWnd);
    QtPaintCounter shows(widget);
    const auto invalidateElsewhere = [&] {
        std::thread other([&] {
            InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
            InvalidateRect(dlg.m_hWnd, &kSpot, FALSE);
        });
        other.join();
    };

    // Rounds faster than the display: one paint each (its two invalidations coalesce), the
    // picture of the last one on the screen.
    int painted = dlg.paints;
    const int kRounds = 20;
    for (int i = 0; i < kRounds; ++i) {
        dlg.stock = i == kRounds - 1 ? WHITE_BRUSH : BLACK_BRUSH;
        invalidateElsewhere();
        ASSERT_TRUE(test_support::PumpEventsUntil([&] { return dlg.paints == painted + i + 1; }))
            << "round " << i << ": " << dlg.paints - painted << " paints";
    }
    Settle();
    EXPECT_EQ(dlg.paints, painted + kRounds) << "a paint shown must not paint again";
    EXPECT_GE(shows.paints, 1);
    const QImage shown = test_support::GrabWindow(dlg.m_hWnd);
    EXPECT_EQ(test_support::CountColour(shown, kSpot, 0xFFFFFF), test_support::Area(kSpot));

    // A paint Qt makes for its own reasons still paints.
    painted = dlg.paints;
    widget->repaint();
    EXPECT_EQ(dlg.paints, painted + 1);

    // Hidden, the dialog is not painted; shown again, it is, once.
    widget->hide();
    painted = dlg.paints;
    invalidateElsewhere();
    Settle();
    EXPECT_EQ(dlg.paints, painted);
    widget->show();
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return dlg.paints > painted; }));
    Settle();
    EXPECT_EQ(dlg.paints, painted + 1);
    EXPECT_TRUE(dlg.DestroyWindow());
}

}  // namespace
