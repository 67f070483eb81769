// Wide-text routines of the C library: length, comparison and conversion to single-byte text.
#include "platform/crt.h"

/*
 * wcstombs: each UTF-16 unit becomes one byte, U+0000..U+00FF as that byte and any other unit
 * as '?'. Conversion stops at the terminator or after count bytes; the terminator is written
 * only when it fits. With dest NULL the length the whole conversion needs is returned.
 */
size_t wcstombs(char* dest, const WCHAR* src, size_t count) {
    if (src == nullptr) return 0;
    if (dest == nullptr) return wcslen(src);
    size_t written = 0;
    for (; written < count && src[written] != 0; ++written) {
        const WCHAR unit = src[written];
        dest[written] = unit <= 0xFF ? static_cast<char>(static_cast<unsigned char>(unit)) : '?';
    }
    if (written < count) dest[written] = '\0';
    return written;
}

/* wcslen: units before the first zero unit. */
size_t wcslen(const WCHAR* s) {
    size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}

/* wcscmp: unit-by-unit comparison as unsigned 16-bit values. */
int wcscmp(const WCHAR* a, const WCHAR* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}
