#include "history/history_fixture.h"

#include "history/connection_history.h"
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
    CreateDialog(m_dialog);
}

void HistoryTest::TearDown() {
    if (m_dialog.m_hWnd != nullptr) m_dialog.DestroyWindow();
    // Every operation closed the key it opened, on every path.
    EXPECT_EQ(platform_testing::OpenRegistryKeyCount(), m_keysBefore);
}

void HistoryTest::CreateDialog(HistoryDialog& dialog) {
    ASSERT_TRUE(dialog.Create(IDD_PEMBLAR_DIALOG));
    ASSERT_NE(dialog.m_comboIP.m_hWnd, nullptr);
    ASSERT_NE(dialog.m_comboPort.m_hWnd, nullptr);
}

std::vector<std::u16string> HistoryTest::Items(const CComboBox& list) {
    std::vector<std::u16string> items;
    for (int index = 0; index < list.GetCount(); ++index) {
        CString item;
        const int length = list.GetLBText(index, item);
        EXPECT_EQ(length, item.GetLength());
        items.push_back(item.Text());
    }
    return items;
}

void HistoryTest::AddItems(CComboBox& list, const std::vector<std::u16string>& items) {
    for (const std::u16string& item : items) list.AddString(item.c_str());
}

namespace {

// Runs use on the history key, created when missing, and closes the key again.
template <typename Use>
LSTATUS WithHistoryKey(Use use) {
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, HISTORY_KEY, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = use(key);
    RegCloseKey(key);
    return status;
}

}  // namespace

bool HistoryTest::Store(LPCWSTR name, const std::u16string& text) {
    return WithHistoryKey([&](HKEY key) {
               return RegSetValueExW(key, name, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(text.c_str()),
                                     static_cast<DWORD>((text.size() + 1) * 2));
           }) == ERROR_SUCCESS;
}

StoredValue HistoryTest::Stored(LPCWSTR name) {
    StoredValue value{ERROR_SUCCESS, std::u16string(32768, u'\0'), 65536};  // above any test's
    value.status = WithHistoryKey([&](HKEY key) {
        return RegQueryValueExW(key, name, nullptr, nullptr,
                                reinterpret_cast<LPBYTE>(value.units.data()), &value.size);
    });
    value.units.resize(value.status == ERROR_SUCCESS ? value.size / 2 : 0);
    return value;
}

std::u16string HistoryTest::Encoded(const std::vector<std::u16string>& items) {
    std::u16string text;
    for (const std::u16string& item : items) text += item + HISTORY_DELIMITER;
    return text;
}
