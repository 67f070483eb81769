// Message boxes: the program's own strings, modal boxes of the UI thread, boxes of worker threads
// shown without blocking the UI thread, and their dismissal when the main window is destroyed.
#include <QMessageBox>
#include <QPushButton>
#include <future>
#include <thread>

#include "platform/user/message_box.h"
#include "tests/platform/user_test_helpers.h"

namespace {

// The message box being shown, NULL when none is visible.
QMessageBox* VisibleBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

using user_test::MainLikeDlg;

// A worker thread that shows one framework message box; the future holds its answer.
std::future<int> BoxFromWorker(const char16_t* text, UINT type) {
    return std::async(std::launch::async, [text, type] { return AfxMessageBox(text, type); });
}

bool Answered(const std::future<int>& box) {
    return box.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

TEST(MessageBoxTest, OnTheUiThreadTheBoxIsModalAndReturnsTheButtonPressed) {
    CWinApp app;
    {
        // A string of the program's own is shown with an OK button; one it does not have, not.
        user_test::MessageBoxRecorder boxes(IDCANCEL);
        EXPECT_EQ(AfxMessageBox(IDP_SOCKETS_INIT_FAILED), IDCANCEL);
        EXPECT_EQ(AfxMessageBox(4711), 0);
        EXPECT_EQ(boxes.Texts(),
                  (std::vector<std::u16string>{u"Windows CE sockets initialization failed."}));
        EXPECT_EQ(boxes.Types(), (std::vector<UINT>{MB_OK}));
    }
    QString shownText;
    QString shownTitle;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shownText = box->text();
            shownTitle = box->windowTitle();
            box->button(QMessageBox::Cancel)->click();
        },
        Qt::QueuedConnection);
    EXPECT_EQ(AfxMessageBox(u"Proceed?", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(shownText, QStringLiteral("Proceed?"));
    EXPECT_EQ(shownTitle, QStringLiteral("Pemblar"));

    // Escape on a box with only OK answers OK.
    QMetaObject::invokeMethod(
        qApp, [] { user_test::PressKey(QApplication::activeModalWidget(), Qt::Key_Escape); },
        Qt::QueuedConnection);
    EXPECT_EQ(MessageBoxW(nullptr, u"Note", nullptr, MB_OK), IDOK);
}

TEST(MessageBoxTest, AWorkerBoxShowsOnTheUiThreadWhileOnlyTheWorkerWaits) {
    std::future<int> worker = BoxFromWorker(u"Admin authentication failed", MB_OK);
    // The UI thread goes on handling events and finds the box among its windows.
    ASSERT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() != nullptr; }));
    QMessageBox* box = VisibleBox();
    EXPECT_EQ(box->text(), QStringLiteral("Admin authentication failed"));
    EXPECT_FALSE(Answered(worker));
    HWND probe = platform_testing::CreateTestWindow([](UINT, WPARAM, LPARAM) { return 3; });
    EXPECT_EQ(SendMessageW(probe, WM_USER, 0, 0), 3);
    DestroyWindow(probe);

    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return Answered(worker); }));
    EXPECT_EQ(worker.get(), IDOK);
    EXPECT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() == nullptr; }));
}

// A main window whose destroy handler waits for a worker that asks for a box meanwhile, as the
// camera thread may while the main dialog closes.
class ClosingMainDlg : public MainLikeDlg {
public:
    int boxDuringDestroy = -1;

protected:
    afx_msg void OnDestroy() {
        CDialog::OnDestroy();
        boxDuringDestroy = BoxFromWorker(u"while closing", MB_OK).get();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClosingMainDlg, MainLikeDlg)
ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(MessageBoxTest, DestroyingTheMainWindowDismissesEveryWorkerBox) {
    CWinApp app;
    ClosingMainDlg main;
    app.m_pMainWnd = &main;
    ASSERT_TRUE(main.Create(IDD_PEMBLAR_DIALOG));

    // One box showing, and one still on its way to the UI thread.
    std::future<int> shown = BoxFromWorker(u"Error: Invalid message id", MB_OK);
    ASSERT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() != nullptr; }));
    std::future<int> queued = BoxFromWorker(u"never shown", MB_OKCANCEL);
    while (platform_user::WorkerMessageBoxCount() < 2) std::this_thread::yield();

    // The UI thread handles no event from here on: the workers must not need it.
    EXPECT_TRUE(main.DestroyWindow());
    EXPECT_EQ(shown.get(), IDCANCEL);
    EXPECT_EQ(queued.get(), IDCANCEL);
    EXPECT_EQ(main.boxDuringDestroy, IDCANCEL);

    // The queued box is never opened.
    EXPECT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() == nullptr; }));
    test_support::PumpEventsUntil([] { return VisibleBox() != nullptr; },
                                  std::chrono::milliseconds(100));
    EXPECT_EQ(VisibleBox(), nullptr);

    // A main window named only after it was made is the main window when it is destroyed.
    MainLikeDlg late;
    ASSERT_TRUE(late.Create(IDD_PEMBLAR_DIALOG));
    app.m_pMainWnd = &late;
    std::future<int> showing = BoxFromWorker(u"named late", MB_OK);
    ASSERT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() != nullptr; }));
    EXPECT_TRUE(late.DestroyWindow());
    EXPECT_EQ(showing.get(), IDCANCEL);
    app.m_pMainWnd = nullptr;
    EXPECT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() == nullptr; }));

    // Once the main window is gone, worker boxes show again.
    std::future<int> again = BoxFromWorker(u"shown again", MB_OK);
    ASSERT_TRUE(test_support::PumpEventsUntil([] { return VisibleBox() != nullptr; }));
    VisibleBox()->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return Answered(again); }));
    EXPECT_EQ(again.get(), IDOK);
}

}  // namespace
