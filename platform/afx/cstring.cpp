// CString: UTF-16 text held in a std::u16string.
#include <cstdarg>
#include <string_view>

#include "platform/afx/wide_format.h"
#include "platform/afxstr.h"

CString::CString(LPCWSTR text) {
    if (text != nullptr) m_text = text;
}

CString::CString(LPCWSTR text, int length) {
    if (text != nullptr && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString& CString::operator+=(LPCWSTR text) {
    if (text != nullptr) m_text += text;
    return *this;
}

CString CString::Left(int count) const {
    return Mid(0, count);
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
    const size_t at = m_text.find(std::u16string_view(text), static_cast<size_t>(start));
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    m_text = platform_afx::FormatWideV(format, args);
    va_end(args);
}
