// The history's settings key, open for the lifetime of the object.
#pragma once

#include "platform/windows.h"

class CHistoryKey {
public:
    /* Opens the key, creating it if missing. */
    CHistoryKey();
    /* Closes the key if it was opened. */
    ~CHistoryKey();
    CHistoryKey(const CHistoryKey&) = delete;
    CHistoryKey& operator=(const CHistoryKey&) = delete;

    BOOL IsOpen() const { return m_hKey != nullptr; }

    /* The value's text up to its first NUL, read into a buffer of HISTORY_VALUE_UNITS units; the
       empty text when the value is missing, too large or unreadable. */
    CString ReadText(LPCWSTR name) const;

    /* Stores text as a REG_SZ value of (characters + 1) * 2 bytes; FALSE when it cannot. */
    BOOL WriteText(LPCWSTR name, const CString& text) const;

private:
    HKEY m_hKey = nullptr;
};
