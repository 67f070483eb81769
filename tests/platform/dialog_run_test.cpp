// Modal dialogs: the results of their runs (OK, Cancel, Enter, Escape, closing), their layout
// from the templates, the main window's screen area and the login dialog's place over it.
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <cstdlib>

#include "tests/platform/user_test_helpers.h"

namespace {

using user_test::LoginLikeDlg;
using user_test::MainLikeDlg;

class DialogRunTest : public ::testing::Test {
protected:
    void SetUp() override { m_windowsBefore = platform_testing::LiveWindowCount(); }
    void TearDown() override { EXPECT_EQ(platform_testing::LiveWindowCount(), m_windowsBefore); }

    int m_windowsBefore = 0;
};

TEST_F(DialogRunTest, OkExchangesAndEndsWithIdokWhileCancelLeavesTheMembers) {
    LoginLikeDlg ok;
    ok.m_strID = u"first";
    ok.m_strPassword = u"secret pass";
    user_test::WhenRunning(ok, [&ok](HWND hDlg) {
        // The members went out at initialisation, which bound the check box member.
        EXPECT_EQ(ok.exchanges, 1);
        EXPECT_EQ(ok.m_check.m_hWnd, GetDlgItem(hDlg, IDC_CHECK_SAVE_PASSWORD));
        EXPECT_EQ(user_test::TextOf(GetDlgItem(hDlg, IDC_EDIT_ID)), u"first");
        EXPECT_EQ(user_test::TextOf(GetDlgItem(hDlg, IDC_EDIT_PASSWORD)), u"secret pass");
        EXPECT_EQ(ok.m_check.GetCheck(), BST_UNCHECKED);
        EXPECT_TRUE(test_support::WidgetOf(hDlg)->isVisible());
        SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"second");
        SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_PASSWORD), u"");
        user_test::Click(hDlg, IDC_CHECK_SAVE_PASSWORD);
        user_test::Click(hDlg, IDOK);
    });
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(ok.m_hWnd, nullptr);
    EXPECT_EQ(ok.m_strID, CString(u"second"));
    EXPECT_TRUE(ok.m_strPassword.IsEmpty());
    EXPECT_EQ(ok.m_bSave, TRUE);

    LoginLikeDlg cancel;
    cancel.m_strID = u"kept";
    user_test::WhenRunning(cancel, [](HWND hDlg) {
        SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"typed");
        user_test::Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_EQ(cancel.m_strID, CString(u"kept"));
}

TEST_F(DialogRunTest, AFailedValidationShowsTheMessageEndsTheExchangeThereAndKeepsTheDialogOpen) {
    user_test::MessageBoxRecorder boxes(IDOK);
    LoginLikeDlg dlg;
    dlg.m_strPassword = u"kept";
    dlg.m_bSave = TRUE;
    int clicks = 0;
    std::function<void(HWND)> press = [&](HWND hDlg) {
        ++clicks;
        if (clicks == 1) {
            EXPECT_EQ(dlg.m_check.GetCheck(), BST_CHECKED);
            SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"nine chars");
            SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_PASSWORD), u"changed");
            dlg.m_check.SetCheck(BST_UNCHECKED);
        }
        if (clicks == 2) {
            // Still running after the refused OK: the failing control's member was exchanged,
            // the later ones were not.
            EXPECT_TRUE(test_support::WidgetOf(hDlg)->isVisible());
            EXPECT_EQ(dlg.m_strID, CString(u"nine chars"));
            EXPECT_EQ(dlg.m_strPassword, CString(u"kept"));
            EXPECT_EQ(dlg.m_bSave, TRUE);
            SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"eight ch");  // exactly at the limit
        }
        user_test::Click(hDlg, IDOK);
        if (clicks == 1) user_test::WhenRunning(dlg, press);
    };
    user_test::WhenRunning(dlg, press);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.Texts(),
              (std::vector<std::u16string>{u"Please enter no more than 8 characters."}));
    EXPECT_EQ(boxes.Types(), (std::vector<UINT>{MB_ICONEXCLAMATION}));
    EXPECT_EQ(dlg.m_strID, CString(u"eight ch"));
    EXPECT_EQ(dlg.m_strPassword, CString(u"changed"));
    EXPECT_EQ(dlg.m_bSave, FALSE);
}

TEST_F(DialogRunTest, KeysAndClosingEndTheRunAsTheDeviceDoes) {
    // Enter in an entry presses the default button (OK); the focus starts on the first tab stop.
    LoginLikeDlg enter;
    user_test::WhenRunning(enter, [](HWND hDlg) {
        QWidget* okButton = test_support::WidgetOf(GetDlgItem(hDlg, IDOK));
        EXPECT_EQ(test_support::WidgetOf(hDlg)->focusWidget(), okButton);
        EXPECT_TRUE(qobject_cast<QPushButton*>(okButton)->isDefault());
        user_test::PressKey(test_support::WidgetOf(GetDlgItem(hDlg, IDC_EDIT_ID)), Qt::Key_Return);
    });
    EXPECT_EQ(enter.DoModal(), IDOK);

    LoginLikeDlg escape;
    user_test::WhenRunning(escape, [](HWND hDlg) {
        user_test::PressKey(test_support::WidgetOf(GetDlgItem(hDlg, IDC_EDIT_ID)), Qt::Key_Escape);
    });
    EXPECT_EQ(escape.DoModal(), IDCANCEL);

    // Closing a dialog without the caption-bar OK button cancels it ...
    LoginLikeDlg closed;
    user_test::WhenRunning(closed, [](HWND hDlg) { test_support::WidgetOf(hDlg)->close(); });
    EXPECT_EQ(closed.DoModal(), IDCANCEL);

    // ... while the main window's close is its caption-bar OK.
    MainLikeDlg main;
    user_test::WhenRunning(main, [](HWND hDlg) { test_support::WidgetOf(hDlg)->close(); });
    EXPECT_EQ(main.DoModal(), IDOK);

    // A dialog ended during its initialisation is never shown.
    class EndsAtOnce : public CDialog {
    public:
        EndsAtOnce() : CDialog(IDD_LOGIN) {}
        BOOL OnInitDialog() override {
            EndDialog(77);
            return TRUE;
        }
    } atOnce;
    EXPECT_EQ(atOnce.DoModal(), 77);

    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogRunTest, TheMainWindowHasTheScreenAreaAndItsIconAndTheLoginOpensOverItsCorner) {
    CWinApp app;
    MainLikeDlg main;
    app.m_pMainWnd = &main;
    ASSERT_TRUE(main.Create(IDD_PEMBLAR_DIALOG));
    QWidget* mainWidget = test_support::WidgetOf(main.m_hWnd);
    EXPECT_EQ(mainWidget->size(), QSize(240, 268));
    EXPECT_EQ(mainWidget->windowTitle(), QGuiApplication::applicationDisplayName());
    RECT client{};
    EXPECT_TRUE(GetClientRect(main.m_hWnd, &client));
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 268);
    // Every control lies above the view area and inside the screen's width.
    for (int id : {IDC_BUTTON_CONNECT, IDC_COMBO_IP, IDC_COMBO_PORT, IDC_BUTTON_CLEAR}) {
        const QRect area = test_support::WidgetOf(GetDlgItem(main.m_hWnd, id))->geometry();
        EXPECT_LE(area.bottom() + 1, 70) << "control " << id;
        EXPECT_LE(area.right() + 1, 240) << "control " << id;
        EXPECT_GT(area.width(), 0) << "control " << id;
    }

    // Without an owner the main window is centred on the screen.
    main.CenterWindow();
    const QRect screen = mainWidget->screen()->availableGeometry();
    EXPECT_LE(std::abs(mainWidget->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(mainWidget->frameGeometry().center().y() - screen.center().y()), 1);
    const QPoint corner = mainWidget->mapToGlobal(QPoint(0, 0));
    LoginLikeDlg login;  // no parent: owned by the main window
    QRect loginArea;
    QWidget* loginOwner = nullptr;
    user_test::WhenRunning(login, [&](HWND hDlg) {
        loginArea = test_support::WidgetOf(hDlg)->geometry();
        loginOwner = test_support::WidgetOf(hDlg)->parentWidget();
        user_test::Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(login.DoModal(), IDCANCEL);
    EXPECT_EQ(loginArea.topLeft(), corner);
    EXPECT_EQ(loginOwner, mainWidget);

    // The icon resource becomes the window icon in both sizes.
    HICON icon = app.LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon, LoadIconW(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME)));
    EXPECT_EQ(app.LoadIcon(4711), nullptr);
    EXPECT_EQ(main.SetIcon(icon, TRUE), nullptr);
    EXPECT_EQ(main.SetIcon(icon, FALSE), nullptr);
    EXPECT_EQ(main.SetIcon(icon, TRUE), icon);
    const QIcon windowIcon = mainWidget->windowIcon();
    const QList<QSize> sizes = windowIcon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    const QImage big = windowIcon.pixmap(QSize(32, 32)).toImage();
    EXPECT_EQ(qAlpha(big.pixel(0, 0)), 0);  // masked corner
    // Row 10 is light grey (palette index 7) inside the opaque camera body.
    EXPECT_EQ(big.pixel(5, 10), qRgba(0xC0, 0xC0, 0xC0, 255));
    EXPECT_TRUE(main.DestroyWindow());
}

TEST_F(DialogRunTest, TheMainWindowsEntriesShowAWholePortAndAWholeDottedAddress) {
    MainLikeDlg main;
    ASSERT_TRUE(main.Create(IDD_PEMBLAR_DIALOG));
    const QFontMetrics dialogFont(test_support::WidgetOf(main.m_hWnd)->font());
    const std::pair<int, QString> widest[] = {{IDC_COMBO_PORT, QStringLiteral("65535")},
                                              {IDC_COMBO_IP, QStringLiteral("255.255.255.255")}};
    for (const auto& [id, text] : widest) {
        SCOPED_TRACE(text.toStdString());
        auto* combo = qobject_cast<QComboBox*>(test_support::WidgetOf(GetDlgItem(main.m_hWnd, id)));
        ASSERT_NE(combo, nullptr);
        SetWindowTextW(GetDlgItem(main.m_hWnd, id), reinterpret_cast<LPCWSTR>(text.utf16()));
        // The entry scrolls (when it paints) only when the text is wider than its text area:
        // from the first character to the end, the caret then moves less than the text is wide.
        QLineEdit* entry = combo->lineEdit();
        const auto caretX = [entry] {
            entry->grab();
            return entry->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        };
        entry->setCursorPosition(0);
        const int start = caretX();
        entry->end(false);
        EXPECT_EQ(caretX() - start, dialogFont.horizontalAdvance(text));
        EXPECT_EQ(entry->font(), test_support::WidgetOf(main.m_hWnd)->font());
        // The drop-down button stays, right of the entry, inside the box.
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = true;
        const QRect button = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                            QStyle::SC_ComboBoxArrow, combo);
        EXPECT_GT(button.width(), 0);
        EXPECT_TRUE(combo->rect().contains(button));
        EXPECT_LE(entry->geometry().right(), button.left());
    }
    EXPECT_TRUE(main.DestroyWindow());
}

}  // namespace
