// Message tables: a dialog's own entries, its base classes' entries through the chain, and the
// platform's default handling for what no table takes.
#include "tests/platform/user_test_helpers.h"

namespace {

const UINT kQuery = WM_USER + 7;
const WORD kOtherNotification = 5;

// A dialog with entries of both signatures and a destroy handler.
class TableDlg : public CDialog {
public:
    TableDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}

    int connects = 0;
    WPARAM queryW = 0;
    LPARAM queryL = 0;
    int itemsSeenAtDestroy = -1;
    BOOL wasWindowAtDestroy = TRUE;

protected:
    afx_msg void OnConnect() { ++connects; }
    afx_msg LRESULT OnQuery(WPARAM wParam, LPARAM lParam) {
        queryW = wParam;
        queryL = lParam;
        return 1234;
    }
    afx_msg void OnDestroy() {
        CDialog::OnDestroy();
        wasWindowAtDestroy = IsWindow(m_hWnd);
        // The controls still answer their own thread while the dialog is being destroyed.
        itemsSeenAtDestroy =
            static_cast<int>(::SendMessageW(::GetDlgItem(m_hWnd, IDC_COMBO_IP), CB_GETCOUNT, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TableDlg, CDialog)
ON_BN_CLICKED(IDC_BUTTON_CONNECT, &TableDlg::OnConnect)
ON_MESSAGE(kQuery, &TableDlg::OnQuery)
ON_WM_DESTROY()
END_MESSAGE_MAP()

// One more level: its own entry, an overridden OK, and everything else from the chain.
class DerivedDlg : public TableDlg {
public:
    int clears = 0;
    int oks = 0;
    void OnOK() override { ++oks; }

protected:
    afx_msg void OnClear() { ++clears; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDlg, TableDlg)
ON_BN_CLICKED(IDC_BUTTON_CLEAR, &DerivedDlg::OnClear)
END_MESSAGE_MAP()

TEST(MessageTableTest, EntriesMatchAlongTheChainByMessageIdAndNotification) {
    const int before = platform_testing::LiveWindowCount();
    DerivedDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
    HWND hDlg = dlg.m_hWnd;

    // WM_COMMAND: the id in the low word, the notification in the high word.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONNECT, BN_CLICKED), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONNECT, kOtherNotification), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CLEAR, BN_CLICKED), 0);
    EXPECT_EQ(dlg.connects, 1);
    EXPECT_EQ(dlg.clears, 1);

    // A real click reaches the table through the dialog's WindowProc.
    user_test::Click(hDlg, IDC_BUTTON_CONNECT);
    user_test::Click(hDlg, IDC_BUTTON_CLEAR);
    EXPECT_EQ(dlg.connects, 2);
    EXPECT_EQ(dlg.clears, 2);

    // A handler with the message parameters returns its result to the sender.
    EXPECT_EQ(SendMessageW(hDlg, kQuery, 17, -3), 1234);
    EXPECT_EQ(dlg.queryW, 17u);
    EXPECT_EQ(dlg.queryL, -3);

    // CDialog's own entry calls the virtual OnOK, so the override runs and the dialog stays.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(dlg.oks, 1);
    EXPECT_TRUE(test_support::WidgetOf(hDlg)->isVisible());

    // Cancel, from the base table, ends a modeless dialog by hiding it.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(test_support::WidgetOf(hDlg)->isVisible());
    EXPECT_TRUE(IsWindow(hDlg));

    // What no table takes goes to the platform: here the text of the dialog.
    EXPECT_TRUE(SetWindowTextW(hDlg, u"title"));
    EXPECT_EQ(user_test::TextOf(hDlg), u"title");

    ::SendMessageW(::GetDlgItem(hDlg, IDC_COMBO_IP), CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(u"10.0.0.1"));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_FALSE(dlg.wasWindowAtDestroy);
    EXPECT_EQ(dlg.itemsSeenAtDestroy, 1);
    EXPECT_EQ(platform_testing::LiveWindowCount(), before);
}

TEST(MessageTableTest, TheObjectDestroysTheWindowItMadeButNotTheControlsItWraps) {
    const int before = platform_testing::LiveWindowCount();
    HWND hDlg = nullptr;
    HWND hButton = nullptr;
    {
        TableDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
        hDlg = dlg.m_hWnd;
        CWnd* button = dlg.GetDlgItem(IDC_BUTTON_CONNECT);
        ASSERT_NE(button, nullptr);
        hButton = button->m_hWnd;
        EXPECT_EQ(dlg.GetDlgItem(IDC_BUTTON_CONNECT), button);  // one wrapper per control
        EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
        {
            CButton wrapper;
            wrapper.m_hWnd = hButton;
        }
        EXPECT_TRUE(IsWindow(hButton));
    }
    EXPECT_FALSE(IsWindow(hDlg));
    EXPECT_FALSE(IsWindow(hButton));
    EXPECT_EQ(platform_testing::LiveWindowCount(), before);
}

}  // namespace
