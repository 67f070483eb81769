// Message tables: entries along the chain, default handling, and the controls during WM_DESTROY.
#include "tests/platform/user_test_helpers.h"

namespace {

const UINT kQuery = WM_USER + 7;

// Entries of both signatures and a destroy handler; one more level adds an entry and an OK.
class TableDlg : public CDialog {
public:
    TableDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}
    int connects = 0, clears = 0, oks = 0, itemsSeenAtDestroy = -1;
    LPARAM query = 0;
    BOOL wasWindowAtDestroy = TRUE;

protected:
    afx_msg void OnConnect() { ++connects; }
    afx_msg LRESULT OnQuery(WPARAM wParam, LPARAM lParam) {
        query = static_cast<LPARAM>(wParam) * 100 + lParam;
        return 1234;
    }
    afx_msg void OnDestroy() {
        CDialog::OnDestroy();
        wasWindowAtDestroy = IsWindow(m_hWnd);
        // The controls still answer their own thread while the dialog is being destroyed.
        itemsSeenAtDestroy =
            int(::SendMessageW(::GetDlgItem(m_hWnd, IDC_COMBO_IP), CB_GETCOUNT, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TableDlg, CDialog)
ON_BN_CLICKED(IDC_BUTTON_CONNECT, &TableDlg::OnConnect)
ON_MESSAGE(kQuery, &TableDlg::OnQuery)
ON_WM_DESTROY()
END_MESSAGE_MAP()

class DerivedDlg : public TableDlg {
public:
    void OnOK() override { ++oks; }

protected:
    afx_msg void OnClear() { ++clears; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDlg, TableDlg)
ON_BN_CLICKED(IDC_BUTTON_CLEAR, &DerivedDlg::OnClear)
END_MESSAGE_MAP()

TEST(MessageTableTest, EntriesMatchAlongTheChainAndTheControlsOutliveWmDestroy) {
    const int before = platform_testing::LiveWindowCount();
    DerivedDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
    HWND hDlg = dlg.m_hWnd;
    // Low word the id, high word the notification; a real click comes through WindowProc.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONNECT, BN_CLICKED), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONNECT, 5), 0);
    user_test::Click(hDlg, IDC_BUTTON_CLEAR);
    EXPECT_EQ(1234, SendMessageW(hDlg, kQuery, 17, -3));
    // CDialog's own entry calls the virtual OnOK; Cancel, from the base table, hides.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(std::make_tuple(1, 1, 1, LPARAM{1697}),
              std::make_tuple(dlg.connects, dlg.clears, dlg.oks, dlg.query));
    EXPECT_TRUE(test_support::WidgetOf(hDlg)->isVisible());
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(test_support::WidgetOf(hDlg)->isVisible());
    EXPECT_TRUE(SetWindowTextW(hDlg, u"title"));  // no table takes it: the platform does
    EXPECT_EQ(u"title", user_test::TextOf(hDlg));
    ::SendMessageW(::GetDlgItem(hDlg, IDC_COMBO_IP), CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(u"10.0.0.1"));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(std::make_pair(FALSE, 1),
              std::make_pair(dlg.wasWindowAtDestroy, dlg.itemsSeenAtDestroy));
    EXPECT_EQ(before, platform_testing::LiveWindowCount());
}

}  // namespace
