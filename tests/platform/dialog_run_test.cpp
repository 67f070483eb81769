// Dialogs: modal runs' results and exchanges, and an exchange asked for by another thread.
#include <QComboBox>
#include <QLineEdit>
#include <thread>

#include "tests/platform/user_test_helpers.h"

namespace {

using user_test::LoginLikeDlg;

// OK validates: a refused value shows a message and the dialog stays; the next OK stores all.
TEST(DialogRunTest, OkExchangesUntilAValueIsRefused) {
    std::vector<std::u16string> boxes;  // shown on this thread, answered at once
    platform_testing::SetMessageBoxAnswerer([&](const std::u16string& text, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    LoginLikeDlg dlg;
    dlg.m_strID = u"first";
    dlg.m_bSave = TRUE;
    int clicks = 0;
    std::function<void(HWND)> press = [&](HWND hDlg) {
        if (++clicks == 1) {
            // The members went out at initialisation, which bound the check box member.
            EXPECT_EQ(u"first", user_test::TextOf(GetDlgItem(hDlg, IDC_EDIT_ID)));
            EXPECT_EQ(BST_CHECKED, dlg.m_check.GetCheck());
            SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"nine chars");
            SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_PASSWORD), u"changed");
            user_test::Click(hDlg, IDC_CHECK_SAVE_PASSWORD);
        } else {
            EXPECT_TRUE(test_support::WidgetOf(hDlg)->isVisible());
            EXPECT_EQ(CString(u"nine chars"), dlg.m_strID);
            EXPECT_TRUE(dlg.m_strPassword.IsEmpty());
            EXPECT_EQ(TRUE, dlg.m_bSave);
            SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"eight ch");  // exactly at the limit
        }
        user_test::Click(hDlg, IDOK);
        if (clicks == 1) user_test::WhenRunning(dlg, press);
    };
    user_test::WhenRunning(dlg, press);
    EXPECT_EQ(IDOK, dlg.DoModal());
    platform_testing::SetMessageBoxAnswerer(nullptr);
    EXPECT_EQ(std::vector<std::u16string>{u"Please enter no more than 8 characters."}, boxes);
    EXPECT_EQ(CString(u"eight ch"), dlg.m_strID);
    EXPECT_EQ(CString(u"changed"), dlg.m_strPassword);
    EXPECT_EQ(FALSE, dlg.m_bSave);
}

// Enter presses OK; Escape cancels; closing cancels a dialog, but is the main window's caption-bar
// OK. A cancelled run leaves the members as they were.
TEST(DialogRunTest, KeysAndClosingEndTheRunAsTheDeviceDoes) {
    const struct {
        bool main;
        int key;  // 0: the window is closed
        int result;
    } rows[] = {{false, Qt::Key_Return, IDOK},
                {false, Qt::Key_Escape, IDCANCEL},
                {false, 0, IDCANCEL},
                {true, 0, IDOK}};
    for (const auto& row : rows) {
        LoginLikeDlg login;
        CDialog main(IDD_PEMBLAR_DIALOG);
        CDialog& dlg = row.main ? main : login;
        login.m_strID = u"kept";
        user_test::WhenRunning(dlg, [&row](HWND hDlg) {
            HWND entry = GetDlgItem(hDlg, IDC_EDIT_ID);
            SetWindowTextW(entry, u"typed");
            if (row.key == 0) test_support::WidgetOf(hDlg)->close();
            if (row.key != 0) user_test::PressKey(test_support::WidgetOf(entry), row.key);
        });
        EXPECT_EQ(row.result, dlg.DoModal()) << row.main << " " << row.key;
        EXPECT_EQ(CString(row.main || row.result == IDCANCEL ? u"kept" : u"typed"), login.m_strID);
    }
    // A dialog without a template fails.
    CDialog missing(4711);
    EXPECT_EQ(-1, missing.DoModal());
}

// UpdateData from another thread runs on the dialog's, or fails once it is destroyed.
TEST(DialogRunTest, AnotherThreadsExchangeRunsOnTheWindowsThreadOrFailsOnceItIsDestroyed) {
    LoginLikeDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_LOGIN));
    dlg.m_strID = u"far";
    auto* id =
        qobject_cast<QLineEdit*>(test_support::WidgetOf(GetDlgItem(dlg.m_hWnd, IDC_EDIT_ID)));
    std::atomic<int> result{-1};
    std::thread worker([&] { result = dlg.UpdateData(FALSE); });
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return result.load() != -1; }));
    worker.join();
    EXPECT_EQ(TRUE, result.load());
    EXPECT_EQ("far", id->text().toStdString());
    id->setSelection(1, 2);  // setting the text the entry shows leaves its selection
    SetWindowTextW(GetDlgItem(dlg.m_hWnd, IDC_EDIT_ID), u"far");
    EXPECT_EQ("ar", id->selectedText().toStdString());
    // The dialog's thread handles no events until the dialog is destroyed.
    const int exchanges = dlg.exchanges;
    std::thread waiting([&] { result = dlg.UpdateData(FALSE); });
    while (platform_testing::WaitingSendCount(dlg.m_hWnd) == 0) std::this_thread::yield();
    EXPECT_TRUE(dlg.DestroyWindow());
    waiting.join();
    EXPECT_EQ(FALSE, result.load());
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(exchanges, dlg.exchanges);
}

class ComboDlg : public CDialog {
public:
    ComboDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}
    CString m_ip = u"1";

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_COMBO_IP, m_ip);
        DDV_MaxChars(pDX, m_ip, 3);
    }
};

// The address entry's limit, as the main window has it, stops typing; the list changing keeps it.
TEST(DialogRunTest, AComboBoxEntryTakesItsLimitAndKeepsItsTextWhenTheListChanges) {
    ComboDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
    HWND combo = GetDlgItem(dlg.m_hWnd, IDC_COMBO_IP);
    auto* entry = qobject_cast<QComboBox*>(test_support::WidgetOf(combo))->lineEdit();
    user_test::PressKey(entry, Qt::Key_unknown, QStringLiteral("2345"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"0.0.0.0"));
    EXPECT_EQ(u"123", user_test::TextOf(combo));
    EXPECT_TRUE(dlg.DestroyWindow());
}

}  // namespace
