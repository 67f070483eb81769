// CString: UTF-16 text held in a std::u16string.
#include <cstdarg>

#include "platform/afx/wide_format.h"
#include "platform/afxstr.h"

namespace {

size_t ZeroTerminatedLength(LPCWSTR text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

}  // namespace

CString::CString(LPCWSTR text) {
    if (text != nullptr) m_text.assign(text, ZeroTerminatedLength(text));
}

CString::CString(LPCWSTR text, int length) {
    if (text != nullptr && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString& CString::AppendChar(WCHAR ch) {
    m_text.push_back(ch);
    return *this;
}

CString& CString::operator+=(LPCWSTR text) {
    if (text != nullptr) m_text.append(text, ZeroTerminatedLength(text));
    return *this;
}

CString& CString::operator+=(const CString& text) {
    m_text.append(text.m_text);
    return *this;
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (first >= GetLength() || count <= 0) return CString();
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(WCHAR ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCWSTR text, int start) const {
    if (text == nullptr || start < 0 || start > GetLength()) return -1;
    const size_t at = m_text.find(text, static_cast<size_t>(start), ZeroTerminatedLength(text));
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    m_text = platform_afx::FormatWideV(format, args);
    va_end(args);
}

CString operator+(const CString& a, const CString& b) {
    return CString(a.Text() + b.Text());
}
