// The dialog framework's string class: UTF-16 text with wide printf formatting.
#pragma once

#include <string>

#include "windef.h"

class CString {
public:
    CString() = default;
    /* Constructs from zero-terminated UTF-16 text; NULL gives the empty text. */
    CString(LPCWSTR text);  // NOLINT(google-explicit-constructor): the framework converts implicitly
    /* Constructs from the first length units of text (zero units included). */
    CString(LPCWSTR text, int length);
    explicit CString(std::u16string text) : m_text(std::move(text)) {}

    /* The number of UTF-16 units, zero units included. */
    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    /* Zero-terminated text; a reader stops at the first zero unit. */
    LPCWSTR GetString() const { return m_text.c_str(); }
    operator LPCWSTR() const { return m_text.c_str(); }  // NOLINT(google-explicit-constructor)
    WCHAR GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }

    /* Appends one unit, a zero unit included. */
    CString& AppendChar(WCHAR ch);
    CString& operator+=(LPCWSTR text);
    CString& operator+=(const CString& text);
    CString& operator+=(WCHAR ch) { return AppendChar(ch); }

    /* The first count units (all when count exceeds the length). */
    CString Left(int count) const;
    /* Units from index up to the end. */
    CString Mid(int first) const;
    /* Units from first, at most count of them. */
    CString Mid(int first, int count) const;
    /* Index of the first occurrence of ch at or after start, -1 when absent. */
    int Find(WCHAR ch, int start = 0) const;
    /* Index of the first occurrence of text at or after start, exact and case-sensitive; -1 when absent. */
    int Find(LPCWSTR text, int start = 0) const;

    /* Replaces the text with the format's result: %d %i %u %x %c %s (UTF-16 text) %S (8-bit text)
       %f %%, with flags, width and precision as the wide printf rules give them; numbers in the
       "C" locale's form whatever the desktop's locale. */
    void Format(LPCWSTR format, ...);

    /* Zero-units-included comparison of the whole stored texts. */
    bool operator==(const CString& other) const { return m_text == other.m_text; }
    bool operator!=(const CString& other) const { return m_text != other.m_text; }

    const std::u16string& Text() const { return m_text; }

private:
    std::u16string m_text;
};

CString operator+(const CString& a, const CString& b);
