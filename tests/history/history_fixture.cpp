#include "history/history_fixture.h"

#include "platform/testing/hooks.h"
#include "res/resource.h"

HistoryDialog::HistoryDialog() : CDialog(IDD_PEMBLAR_DIALOG) {}

void HistoryDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMBO_PORT, m_comboPort);
    DDX_Control(pDX, IDC_COMBO_IP, m_comboIP);
}

void HistoryTest::SetUp() {
    m_keysBefore = platform_testing::OpenRegistryKeyCount();
    ASSERT_TRUE(m_dialog.Create(IDD_PEMBLAR_DIALOG));
}

void HistoryTest::TearDown() {
    // Every operation closed the key it opened, on every path.
    EXPECT_EQ(m_keysBefore, platform_testing::OpenRegistryKeyCount());
}

Texts HistoryTest::Items(const CComboBox& list) {
    Texts items;
    for (int index = 0; index < list.GetCount(); ++index) {
        CString item;
        list.GetLBText(index, item);
        items.push_back(item.Text());
    }
    return items;
}

void HistoryTest::SetItems(CComboBox& list, const Texts& items) {
    list.ResetContent();
    for (const std::u16string& item : items) list.AddString(item.c_str());
}

namespace {

// The history key, created when missing, open for the object's lifetime.
struct OpenKey {
    OpenKey() {
        RegCreateKeyExW(HKEY_CURRENT_USER, HISTORY_KEY, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    }
    ~OpenKey() {
        if (key != nullptr) RegCloseKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY key = nullptr;
};

}  // namespace

bool HistoryTest::Store(LPCWSTR name, const std::u16string& text) {
    return RegSetValueExW(OpenKey().key, name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * 2)) == ERROR_SUCCESS;
}

std::u16string HistoryTest::Stored(LPCWSTR name) {
    std::u16string units(32768, u'\0');  // larger than any value a test stores
    DWORD size = static_cast<DWORD>(units.size() * 2);
    const LSTATUS status = RegQueryValueExW(OpenKey().key, name, nullptr, nullptr,
                                            reinterpret_cast<LPBYTE>(units.data()), &size);
    units.resize(status == ERROR_SUCCESS ? size / 2 : 0);
    return units;
}

std::u16string HistoryTest::Encoded(const Texts& items) {
    std::u16string text;
    for (const std::u16string& item : items) text += item + u"..!@#$%..";
    return text;
}
