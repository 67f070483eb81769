// Data exchange: the entry limit that the length validation sets, and UpdateData called from
// another thread (the exchange itself is run by the modal dialogs' tests).
#include <QLineEdit>
#include <thread>

#include "tests/platform/user_test_helpers.h"

namespace {

QLineEdit* EntryOf(HWND hDlg, int id) {
    return qobject_cast<QLineEdit*>(test_support::WidgetOf(GetDlgItem(hDlg, id)));
}

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dlg.Create(IDD_LOGIN)); }
    void TearDown() override { m_dlg.DestroyWindow(); }

    user_test::LoginLikeDlg m_dlg{5};
};

TEST_F(DataExchangeTest, GoingOutLimitsTypingButNotTheProgram) {
    HWND hDlg = m_dlg.m_hWnd;
    QLineEdit* id = EntryOf(hDlg, IDC_EDIT_ID);
    QLineEdit* password = EntryOf(hDlg, IDC_EDIT_PASSWORD);
    ASSERT_NE(id, nullptr);
    // Typing stops at the ID's limit; the password has none.
    user_test::Type(id, QStringLiteral("abcdefgh"));
    EXPECT_EQ(id->text(), QStringLiteral("abcde"));
    user_test::Type(password, QStringLiteral("abcdefgh"));
    EXPECT_EQ(password->text(), QStringLiteral("abcdefgh"));
    // The program may set a longer text; typing then cannot grow it, deleting shortens it.
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"1234567");
    EXPECT_EQ(id->text(), QStringLiteral("1234567"));
    user_test::Type(id, QStringLiteral("8"));
    EXPECT_EQ(id->text(), QStringLiteral("1234567"));
    user_test::PressKey(id, Qt::Key_Backspace);
    EXPECT_EQ(id->text(), QStringLiteral("123456"));

    // Setting the text the entry shows leaves the caret and selection where they are; a new
    // text still replaces it.
    id->setCursorPosition(2);
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"123456");
    EXPECT_EQ(id->cursorPosition(), 2);
    id->setSelection(1, 3);
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"123456");
    EXPECT_EQ(id->selectedText(), QStringLiteral("234"));
    SetWindowTextW(GetDlgItem(hDlg, IDC_EDIT_ID), u"98");
    EXPECT_EQ(id->text(), QStringLiteral("98"));
}

TEST_F(DataExchangeTest, AnotherThreadsExchangeRunsOnTheWindowsThreadOrFailsOnceItIsDestroyed) {
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

    // The dialog's thread handles no events until the dialog is destroyed.
    const int exchanges = m_dlg.exchanges;
    std::thread waiting([&] { result = m_dlg.UpdateData(FALSE); });
    while (platform_testing::WaitingSendCount(hDlg) == 0) std::this_thread::yield();
    EXPECT_TRUE(m_dlg.DestroyWindow());
    waiting.join();
    EXPECT_EQ(result.load(), FALSE);
    test_support::PumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(m_dlg.exchanges, exchanges);
    EXPECT_FALSE(m_dlg.UpdateData(FALSE));
}

}  // namespace
