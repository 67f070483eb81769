// Data exchange: members into controls and back, the length validation with the framework's
// message, the entry limit it sets, and UpdateData called from another thread.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <thread>

#include "platform/windows.h"
#include "res/resource.h"
#include "tests/platform/user_test_helpers.h"

namespace {

const int kIdLimit = 5;

// The login template's controls, with a length limit on the ID.
class ExchangeDlg : public CDialog {
public:
    ExchangeDlg() : CDialog(IDD_LOGIN) {}

    CString m_strID;
    CString m_strPassword;
    BOOL m_bSave = FALSE;
    CButton m_check;
    int exchanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        ++exchanges;
        DDX_Control(pDX, IDC_CHECK_SAVE_PASSWORD, m_check);
        DDX_Text(pDX, IDC_EDIT_ID, m_strID);
        DDV_MaxChars(pDX, m_strID, kIdLimit);
        DDX_Text(pDX, IDC_EDIT_PASSWORD, m_strPassword);
        DDX_Check(pDX, IDC_CHECK_SAVE_PASSWORD, m_bSave);
    }
};

QLineEdit* EntryOf(HWND hDlg, int id) {
    return qobject_cast<QLineEdit*>(test_support::WidgetOf(GetDlgItem(hDlg, id)));
}

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dlg.Create(IDD_LOGIN)); }
    void TearDown() override { m_dlg.DestroyWindow(); }

    ExchangeDlg m_dlg;
};

TEST_F(DataExchangeTest, MembersGoOutAndComeBackInBothDirections) {
    HWND hDlg = m_dlg.m_hWnd;
    // OnInitDialog made the first exchange and bound the check box member.
    EXPECT_EQ(m_dlg.exchanges, 1);
    EXPECT_EQ(m_dlg.m_check.m_hWnd, GetDlgItem(hDlg, IDC_CHECK_SAVE_PASSWORD));

    m_dlg.m_strID = u"ab";
    m_dlg.m_strPassword = u"secret pass";
    m_dlg.m_bSave = TRUE;
    EXPECT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ(user_test::TextOf(GetDlgItem(hDlg, IDC_EDIT_ID)), u"ab");
    EXPECT_EQ(user_test::TextOf(GetDlgItem(hDlg, IDC_EDIT_PASSWORD)), u"secret pass");
    EXPECT_EQ(m_dlg.m_check.GetCheck(), BST_CHECKED);

    // What the user changes comes back in.
    EntryOf(hDlg, IDC_EDIT_ID)->setText(QStringLiteral("xyz"));
    m_dlg.m_check.SetCheck(BST_UNCHECKED);
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_PASSWORD), u"");
    EXPECT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_strID, CString(u"xyz"));
    EXPECT_TRUE(m_dlg.m_strPassword.IsEmpty());
    EXPECT_EQ(m_dlg.m_bSave, FALSE);
}

TEST_F(DataExchangeTest, GoingOutLimitsTypingButNotTheProgram) {
    HWND hDlg = m_dlg.m_hWnd;
    QLineEdit* id = EntryOf(hDlg, IDC_EDIT_ID);
    QLineEdit* password = EntryOf(hDlg, IDC_EDIT_PASSWORD);
    ASSERT_NE(id, nullptr);
    user_test::Type(id, QStringLiteral("abcdefgh"));
    EXPECT_EQ(id->text(), QStringLiteral("abcde"));
    // The password has no limit.
    user_test::Type(password, QStringLiteral("abcdefgh"));
    EXPECT_EQ(password->text(), QStringLiteral("abcdefgh"));

    // The program may set a longer text; typing then cannot grow it, deleting shortens it.
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"1234567");
    EXPECT_EQ(id->text(), QStringLiteral("1234567"));
    user_test::Type(id, QStringLiteral("8"));
    EXPECT_EQ(id->text(), QStringLiteral("1234567"));
    user_test::PressKey(id, Qt::Key_Backspace);
    EXPECT_EQ(id->text(), QStringLiteral("123456"));
}

TEST_F(DataExchangeTest, ALongerTextComingInShowsTheMessageAndEndsTheExchangeThere) {
    HWND hDlg = m_dlg.m_hWnd;
    m_dlg.m_strPassword = u"kept";
    m_dlg.m_bSave = TRUE;
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"123456");
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_PASSWORD), u"changed");
    m_dlg.m_check.SetCheck(BST_UNCHECKED);

    user_test::MessageBoxRecorder boxes(IDOK);
    EXPECT_FALSE(m_dlg.UpdateData(TRUE));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], u"Please enter no more than 5 characters.");
    EXPECT_EQ(boxes.Types()[0], static_cast<UINT>(MB_ICONEXCLAMATION));
    // The failing control's member was exchanged; the later ones were not.
    EXPECT_EQ(m_dlg.m_strID, CString(u"123456"));
    EXPECT_EQ(m_dlg.m_strPassword, CString(u"kept"));
    EXPECT_EQ(m_dlg.m_bSave, TRUE);

    // Exactly at the limit the exchange succeeds without a message.
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"12345");
    EXPECT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(m_dlg.m_strPassword, CString(u"changed"));
    EXPECT_EQ(m_dlg.m_bSave, FALSE);
}

TEST_F(DataExchangeTest, AnotherThreadRunsTheExchangeOnTheWindowsThreadAndWaits) {
    HWND hDlg = m_dlg.m_hWnd;
    m_dlg.m_strID = u"far";
    std::atomic<int> result{-1};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = m_dlg.UpdateData(FALSE);
        done = true;
    });
    EXPECT_TRUE(test_support::PumpEventsUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(result.load(), TRUE);
    EXPECT_EQ(user_test::TextOf(GetDlgItem(hDlg, IDC_EDIT_ID)), u"far");
}

TEST_F(DataExchangeTest, AnExchangeWaitingOnADestroyedDialogReturnsFalse) {
    HWND hDlg = m_dlg.m_hWnd;
    const int exchanges = m_dlg.exchanges;
    std::atomic<int> result{-1};
    std::thread worker([&] { result = m_dlg.UpdateData(FALSE); });
    // The dialog's thread handles no events until the dialog is destroyed.
    while (platform_testing::WaitingSendCount(hDlg) == 0) std::this_thread::yield();
    EXPECT_TRUE(m_dlg.DestroyWindow());
    worker.join();
    EXPECT_EQ(result.load(), FALSE);
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(m_dlg.exchanges, exchanges);
    EXPECT_FALSE(m_dlg.UpdateData(FALSE));
}

}  // namespace
