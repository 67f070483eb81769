// CString: UTF-16 text held in a std::u16string. Format walks the format itself, hands each
// number to the C library's narrow printf and places text arguments itself, so UTF-16 text
// passes through unchanged.
#include <locale.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string_view>
#include <type_traits>

#include "platform/afxstr.h"

namespace {

// Qt's application object puts the process under the desktop's locale, whose decimal point
// printf would take: while a text is formatted, this thread uses the "C" locale.
class ClassicNumbers {
public:
    ClassicNumbers() : m_previous(uselocale(Classic())) {}
    ~ClassicNumbers() { uselocale(m_previous); }
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

private:
    // Made once for the process's life; if it cannot be made, uselocale(0) changes nothing.
    static locale_t Classic() {
        static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
        return classic;
    }

    locale_t m_previous;
};

// One directive: its flags, width and precision as narrow printf text, and what text needs.
struct Directive {
    std::string printfFormat = "%";
    bool leftAlign = false;
    int width = 0;
    int precision = -1;
    bool long64 = false;
};

// Reads a width or precision: digits, or '*' taking an int argument.
int ReadCount(LPCWSTR& p, va_list& args) {
    if (*p == u'*') {
        ++p;
        return va_arg(args, int);
    }
    int value = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        if (value < 100000) value = value * 10 + (*p - u'0');
    }
    return value;
}

template <typename T>
void AppendNumber(std::u16string& out, const Directive& d, char conversion, T value) {
    std::string format = d.printfFormat;
    if (d.long64) format += "ll";
    format += conversion;
    const int length = std::snprintf(nullptr, 0, format.c_str(), value);
    if (length <= 0) return;
    std::string narrow(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(narrow.data(), narrow.size(), format.c_str(), value);
    narrow.pop_back();
    for (char c : narrow) out.push_back(static_cast<WCHAR>(static_cast<unsigned char>(c)));
}

// An integer argument: 64-bit after ll or I64.
template <typename Int, typename Long>
void AppendInteger(std::u16string& out, const Directive& d, char conversion, va_list& args) {
    if (d.long64) {
        AppendNumber(out, d, conversion, va_arg(args, Long));
    } else {
        AppendNumber(out, d, conversion, va_arg(args, Int));
    }
}

// Text of either width, cut to the precision and padded with spaces to the width.
template <typename Unit>
void AppendText(std::u16string& out, const Directive& d, std::basic_string_view<Unit> units) {
    if (d.precision >= 0) units = units.substr(0, static_cast<size_t>(d.precision));
    const size_t width = static_cast<size_t>(d.width);
    const size_t fill = width > units.size() ? width - units.size() : 0;
    if (!d.leftAlign) out.append(fill, u' ');
    for (Unit unit : units) out.push_back(static_cast<WCHAR>(std::make_unsigned_t<Unit>(unit)));
    if (d.leftAlign) out.append(fill, u' ');
}

std::u16string FormatWideV(LPCWSTR format, va_list args) {
    std::u16string out;
    if (format == nullptr) return out;
    const ClassicNumbers classic;
    va_list ap;
    va_copy(ap, args);
    for (LPCWSTR p = format; *p != 0;) {
        if (*p != u'%') {
            out.push_back(*p++);
            continue;
        }
        LPCWSTR const start = p++;
        Directive d;
        for (; *p == u'-' || *p == u'0' || *p == u'+'; ++p) {
            d.leftAlign = d.leftAlign || *p == u'-';
            d.printfFormat += static_cast<char>(*p);
        }
        if ((*p >= u'0' && *p <= u'9') || *p == u'*') {
            d.width = ReadCount(p, ap);
            if (d.width < 0) {  // a negative '*' width means left alignment
                d.leftAlign = true;
                d.printfFormat += '-';
                d.width = -d.width;
            }
            d.printfFormat += std::to_string(d.width);
        }
        if (*p == u'.') {
            ++p;
            d.precision = std::max(ReadCount(p, ap), -1);
            if (d.precision >= 0) {
                d.printfFormat += '.';
                d.printfFormat += std::to_string(d.precision);
            }
        }
        if (p[0] == u'l' && p[1] == u'l') {
            d.long64 = true;
            p += 2;
        } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
            d.long64 = true;
            p += 3;
        }
        const WCHAR conversion = *p;
        if (conversion == 0) {
            out.append(start, p);
            break;
        }
        ++p;
        switch (conversion) {
            case u'%':
                out.push_back(u'%');
                break;
            case u'd':
            case u'i':
                AppendInteger<int, long long>(out, d, 'd', ap);
                break;
            case u'u':
            case u'x':
            case u'X':
                AppendInteger<unsigned, unsigned long long>(out, d, static_cast<char>(conversion),
                                                            ap);
                break;
            case u'f':
            case u'e':
                AppendNumber(out, d, static_cast<char>(conversion), va_arg(ap, double));
                break;
            case u'c': {
                const WCHAR unit = static_cast<WCHAR>(va_arg(ap, int));
                AppendText(out, d, std::u16string_view(&unit, 1));
                break;
            }
            case u's': {
                LPCWSTR text = va_arg(ap, LPCWSTR);
                AppendText(out, d, std::u16string_view(text != nullptr ? text : u"(null)"));
                break;
            }
            case u'S': {
                const char* text = va_arg(ap, const char*);
                AppendText(out, d, std::string_view(text != nullptr ? text : "(null)"));
                break;
            }
            default:  // not a conversion this engine knows: keep the text as written
                out.append(start, p);
                break;
        }
    }
    va_end(ap);
    return out;
}

}  // namespace

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
    m_text = FormatWideV(format, args);
    va_end(args);
}
