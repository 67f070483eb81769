// The drop-down combo box: sorted insertion ignoring case, prefix search, the entry field that
// list changes leave alone, and its reset and limit.
#include <QComboBox>
#include <QLineEdit>

#include "tests/platform/user_test_helpers.h"

namespace {

class ComboDlg : public CDialog {
public:
    ComboDlg() : CDialog(IDD_PEMBLAR_DIALOG) {}
    CComboBox m_combo;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_COMBO_IP, m_combo); }
};

std::vector<std::u16string> Items(CComboBox& combo) {
    std::vector<std::u16string> items;
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString text;
        const int length = combo.GetLBText(i, text);
        EXPECT_EQ(length, text.GetLength());
        items.push_back(text.Text());
    }
    return items;
}

TEST(ComboBoxTest, SortsIgnoringCaseFindsPrefixesAndLeavesTheEntryToTheUser) {
    ComboDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PEMBLAR_DIALOG));
    auto* widget = qobject_cast<QComboBox*>(test_support::WidgetOf(dlg.m_combo.m_hWnd));
    ASSERT_NE(widget, nullptr);
    CComboBox& combo = dlg.m_combo;
    combo.SetWindowText(u"typed");
    EXPECT_EQ(combo.AddString(u"b"), 0);
    EXPECT_EQ(combo.AddString(u"A"), 0);
    EXPECT_EQ(combo.AddString(u"c"), 2);
    EXPECT_EQ(combo.AddString(u"a"), 1);  // after its equal, ignoring case
    EXPECT_EQ(combo.AddString(u"192.168.0.20"), 0);
    EXPECT_EQ(combo.AddString(u"10.0.0.5"), 0);
    EXPECT_EQ(Items(combo),
              (std::vector<std::u16string>{u"10.0.0.5", u"192.168.0.20", u"A", u"a", u"b", u"c"}));
    EXPECT_EQ(combo.GetCount(), 6);
    EXPECT_EQ(user_test::TextOf(combo), u"typed");
    CString text = u"unchanged";
    EXPECT_EQ(combo.GetLBText(6, text), CB_ERR);
    EXPECT_EQ(combo.GetLBText(-1, text), CB_ERR);
    EXPECT_EQ(text, CString(u"unchanged"));
    // Choosing an item puts its text in the entry.
    widget->setCurrentIndex(1);
    EXPECT_EQ(user_test::TextOf(combo), u"192.168.0.20");

    // A reset empties the list and the entry.
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(user_test::TextOf(combo), u"");

    // A search matches the beginning ignoring case; it starts after the given item and wraps.
    EXPECT_EQ(combo.FindString(-1, u"80"), CB_ERR);  // empty list
    for (LPCWSTR item : {u"8080", u"Alpha", u"alphabet", u"beta"}) combo.AddString(item);
    const struct {
        int after;
        LPCWSTR prefix;
        int found;
    } searches[] = {{-1, u"ALPHA", 1}, {-1, u"alphab", 2},     {-1, u"80", 0},
                    {-1, u"8080", 0},  {-1, u"80801", CB_ERR}, {-1, u"eta", CB_ERR},
                    {1, u"alpha", 2},  {2, u"alpha", 1},       {3, u"8", 0}};
    for (const auto& search : searches) {
        EXPECT_EQ(combo.FindString(search.after, search.prefix), search.found)
            << QString::fromUtf16(search.prefix).toStdString() << " after " << search.after;
    }

    // Data exchange going out sets CB_LIMITTEXT on a combo box; typing stops there and the
    // entry keeps its text when the list changes.
    combo.ResetContent();
    EXPECT_EQ(combo.SendMessage(CB_LIMITTEXT, 3, 0), TRUE);
    user_test::Type(widget->lineEdit(), QStringLiteral("12345"));
    EXPECT_EQ(user_test::TextOf(combo), u"123");
    combo.AddString(u"zzz");
    EXPECT_EQ(user_test::TextOf(combo), u"123");
    dlg.DestroyWindow();
}

}  // namespace
