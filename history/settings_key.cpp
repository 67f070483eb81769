// The history's settings key: open, read, write, close.
#include "history/settings_key.h"

#include <vector>

#include "history/connection_history.h"

CHistoryKey::CHistoryKey() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, HISTORY_KEY, 0, nullptr, 0, 0, nullptr, &key,
                        &disposition) == ERROR_SUCCESS) {
        m_hKey = key;
    }
}

CHistoryKey::~CHistoryKey() {
    if (m_hKey != nullptr) RegCloseKey(m_hKey);
}

CString CHistoryKey::ReadText(LPCWSTR name) const {
    std::vector<WCHAR> buffer(HISTORY_VALUE_UNITS, 0);
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(WCHAR));
    if (RegQueryValueExW(m_hKey, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer.data()),
                         &size) != ERROR_SUCCESS) {
        return CString();
    }
    // Up to the first NUL, or up to the end of what was read if it holds none.
    int units = 0;
    const int read = static_cast<int>(size / sizeof(WCHAR));
    while (units < read && buffer[static_cast<size_t>(units)] != 0) ++units;
    return CString(buffer.data(), units);
}

BOOL CHistoryKey::WriteText(LPCWSTR name, const CString& text) const {
    const DWORD size = static_cast<DWORD>((text.GetLength() + 1) * sizeof(WCHAR));
    return RegSetValueExW(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                          size) == ERROR_SUCCESS;
}
