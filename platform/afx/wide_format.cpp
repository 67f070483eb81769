// The wide printf engine: walks the format, hands numbers to the C library's narrow printf and
// places text arguments itself so UTF-16 text passes through unchanged.
#include "platform/afx/wide_format.h"

#include <locale.h>

#include <cstdio>
#include <string>

namespace platform_afx {
namespace {

// The C library's printf takes the decimal point from the locale, and Qt's application object
// sets the desktop's locale: while a text is formatted, this thread uses the "C" locale, so the
// device's texts read "12.500000" on every desktop.
class ClassicNumbers {
public:
    ClassicNumbers() : m_previous(uselocale(Classic())) {}
    ~ClassicNumbers() { uselocale(m_previous); }
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

private:
    // Made once and kept for the process's life; if it cannot be made, uselocale(0) changes
    // nothing.
    static locale_t Classic() {
        static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
        return classic;
    }

    locale_t m_previous;
};

enum class Length { kDefault, kShort, kLong64 };

struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    Length length = Length::kDefault;
    bool leftAlign = false;
};

bool IsFlag(WCHAR c) {
    return c == u'-' || c == u'0' || c == u'+' || c == u' ' || c == u'#';
}
bool IsDigit(WCHAR c) {
    return c >= u'0' && c <= u'9';
}

// Reads a width or precision: digits, or '*' taking an int argument.
int ReadCount(LPCWSTR& p, va_list& args) {
    if (*p == u'*') {
        ++p;
        return va_arg(args, int);
    }
    int value = 0;
    while (IsDigit(*p)) {
        if (value < 100000) value = value * 10 + (*p - u'0');
        ++p;
    }
    return value;
}

// Pads the text with spaces to the directive's width, on the left unless it is left-aligned.
void AppendPadded(std::u16string& out, const std::u16string& text, const Directive& d) {
    const size_t width = d.width > 0 ? static_cast<size_t>(d.width) : 0;
    const size_t fill = width > text.size() ? width - text.size() : 0;
    if (!d.leftAlign) out.append(fill, u' ');
    out.append(text);
    if (d.leftAlign) out.append(fill, u' ');
}

// Formats one numeric conversion with the narrow printf and widens the ASCII result.
template <typename T>
void AppendNumber(std::u16string& out, const Directive& d, const char* length, char conversion,
                  T value) {
    // Appended piece by piece: g++ 12 at -O3 takes a string concatenated in front of a
    // temporary for an overlapping copy and fails the build with -Werror=restrict.
    std::string narrowFormat(1, '%');
    narrowFormat += d.flags;
    if (d.width >= 0) narrowFormat += std::to_string(d.width);
    if (d.precision >= 0) {
        narrowFormat += '.';
        narrowFormat += std::to_string(d.precision);
    }
    narrowFormat += length;
    narrowFormat += conversion;
    const int needed = std::snprintf(nullptr, 0, narrowFormat.c_str(), value);
    if (needed <= 0) return;
    std::string narrow(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(narrow.data(), narrow.size(), narrowFormat.c_str(), value);
    narrow.resize(static_cast<size_t>(needed));
    for (char c : narrow) out.push_back(static_cast<WCHAR>(static_cast<unsigned char>(c)));
}

void AppendSigned(std::u16string& out, const Directive& d, char conversion, va_list& args) {
    if (d.length == Length::kLong64) {
        AppendNumber(out, d, "ll", conversion, va_arg(args, long long));
    } else if (d.length == Length::kShort) {
        AppendNumber(out, d, "", conversion,
                     static_cast<int>(static_cast<short>(va_arg(args, int))));
    } else {
        AppendNumber(out, d, "", conversion, va_arg(args, int));
    }
}

void AppendUnsigned(std::u16string& out, const Directive& d, char conversion, va_list& args) {
    if (d.length == Length::kLong64) {
        AppendNumber(out, d, "ll", conversion, va_arg(args, unsigned long long));
    } else if (d.length == Length::kShort) {
        AppendNumber(out, d, "", conversion,
                     static_cast<unsigned>(static_cast<unsigned short>(va_arg(args, unsigned))));
    } else {
        AppendNumber(out, d, "", conversion, va_arg(args, unsigned));
    }
}

void AppendWideText(std::u16string& out, const Directive& d, LPCWSTR text) {
    if (text == nullptr) text = u"(null)";
    std::u16string s;
    for (size_t i = 0; text[i] != 0 && (d.precision < 0 || i < static_cast<size_t>(d.precision));
         ++i) {
        s.push_back(text[i]);
    }
    AppendPadded(out, s, d);
}

void AppendNarrowText(std::u16string& out, const Directive& d, const char* text) {
    if (text == nullptr) text = "(null)";
    std::u16string s;
    for (size_t i = 0; text[i] != 0 && (d.precision < 0 || i < static_cast<size_t>(d.precision));
         ++i) {
        s.push_back(static_cast<WCHAR>(static_cast<unsigned char>(text[i])));
    }
    AppendPadded(out, s, d);
}

}  // namespace

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
        while (IsFlag(*p)) {
            if (*p == u'-') d.leftAlign = true;
            d.flags.push_back(static_cast<char>(*p++));
        }
        if (IsDigit(*p) || *p == u'*') {
            d.width = ReadCount(p, ap);
            if (d.width < 0) {  // a negative '*' width means left alignment
                d.leftAlign = true;
                d.flags.push_back('-');
                d.width = -d.width;
            }
        }
        if (*p == u'.') {
            ++p;
            d.precision = ReadCount(p, ap);
            if (d.precision < 0) d.precision = -1;
        }
        if (*p == u'h') {
            d.length = Length::kShort;
            ++p;
        } else if (*p == u'l') {
            ++p;
            if (*p == u'l') {
                d.length = Length::kLong64;
                ++p;
            }
        } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
            d.length = Length::kLong64;
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
                AppendSigned(out, d, static_cast<char>(conversion), ap);
                break;
            case u'u':
            case u'x':
            case u'X':
            case u'o':
                AppendUnsigned(out, d, static_cast<char>(conversion), ap);
                break;
            case u'f':
            case u'e':
            case u'E':
            case u'g':
            case u'G':
                AppendNumber(out, d, "", static_cast<char>(conversion), va_arg(ap, double));
                break;
            case u'c':
                AppendPadded(out, std::u16string(1, static_cast<WCHAR>(va_arg(ap, int))), d);
                break;
            case u'C':
                AppendPadded(out,
                             std::u16string(1, static_cast<WCHAR>(
                                                   static_cast<unsigned char>(va_arg(ap, int)))),
                             d);
                break;
            case u's':
                AppendWideText(out, d, va_arg(ap, LPCWSTR));
                break;
            case u'S':
                AppendNarrowText(out, d, va_arg(ap, const char*));
                break;
            default:  // not a conversion this engine knows: keep the text as written
                out.append(start, p);
                break;
        }
    }
    va_end(ap);
    return out;
}

}  // namespace platform_afx
