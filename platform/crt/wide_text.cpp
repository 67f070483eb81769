// Wide-text routines of the C library: classification, length, comparison and conversion to
// single-byte text.
#include <QChar>
#include <algorithm>
#include <string_view>

#include "platform/crt.h"

int iswalpha(WCHAR c) {
    return QChar(c).isLetter() ? 1 : 0;
}

size_t wcstombs(char* dest, const WCHAR* src, size_t count) {
    if (src == nullptr) return 0;
    const std::u16string_view text(src);
    if (dest == nullptr) return text.size();
    const size_t written = std::min(count, text.size());
    for (size_t i = 0; i < written; ++i) {
        dest[i] = text[i] <= 0xFF ? static_cast<char>(static_cast<unsigned char>(text[i])) : '?';
    }
    if (written < count) dest[written] = '\0';
    return written;
}

size_t wcslen(const WCHAR* s) {
    return std::char_traits<WCHAR>::length(s);
}

int wcscmp(const WCHAR* a, const WCHAR* b) {
    return std::u16string_view(a).compare(b);
}
