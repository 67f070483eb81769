// The dialog framework's string class: UTF-16 text with wide printf formatting.
#pragma once

#include <string>

#include "windef.h"

class CString {
public:
    CString() = default;
    /* CString: zero-terminated UTF-16 text; NULL gives the empty text. */
    CString(
        LPCWSTR text);  // NOLINT(google-explicit-constructor): the framework converts implicitly
    /* CString: the first length units of text, zero units included. */
    CString(LPCWSTR text, int length);
    explicit CString(std::u16string text) : m_text(std::move(text)) {}

    /* GetLength: the number of UTF-16 units, zero units included. */
    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    /* GetString: zero-terminated text; a reader stops at the first zero unit. */
    LPCWSTR GetString() const { return m_text.c_str(); }
    operator LPCWSTR() const { return m_text.c_str(); }  // NOLINT(google-explicit-constructor)

    /* AppendChar: appends one unit, a zero unit included. */
    CString& AppendChar(WCHAR ch) {
        m_text.push_back(ch);
        return *this;
    }
    CString& operator+=(LPCWSTR text);
    CString& operator+=(const CString& text) {
        m_text += text.m_text;
        return *this;
    }

    /* Left: the first count units (all when count exceeds the length). */
    CString Left(int count) const;
    /* Mid: the units from first, at most count of them. */
    CString Mid(int first, int count) const;
    /* Find: the index of the first ch or text at or after start, exact; -1 when absent. */
    int Find(WCHAR ch, int start = 0) const;
    int Find(LPCWSTR text, int start = 0) const;

    /* Format: replaces the text with the format's result: %d %i %u %x %X (ll or I64 for 64-bit),
       %f %e, %c, %s (UTF-16 text), %S (8-bit text), %%, with the flags - 0 +, width and precision
       (either may be *). Numbers take the "C" locale's form whatever the desktop's locale; an
       unknown conversion is copied as written. */
    void Format(LPCWSTR format, ...);

    /* operator==: compares the whole stored texts, zero units included. */
    bool operator==(const CString& other) const { return m_text == other.m_text; }

    const std::u16string& Text() const { return m_text; }

private:
    std::u16string m_text;
};
