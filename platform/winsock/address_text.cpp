// Dotted IPv4 text and byte order.
#include <bit>

#include "platform/winsock.h"

namespace {

// Reads one part of dotted text: hex after 0x, octal after a leading 0, else decimal. False
// when there is no digit, a digit is invalid for the base, or the value exceeds 32 bits.
bool ReadPart(const char*& p, uint32_t* value) {
    uint64_t result = 0;
    unsigned base = 10;
    if (*p == '0') {
        base = 8;
        ++p;
        if (*p == 'x' || *p == 'X') {
            base = 16;
            ++p;
            if (!((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f') ||
                  (*p >= 'A' && *p <= 'F'))) {
                return false;
            }
        }
    } else if (!(*p >= '0' && *p <= '9')) {
        return false;
    }
    for (;; ++p) {
        unsigned digit;
        if (*p >= '0' && *p <= '9') {
            digit = static_cast<unsigned>(*p - '0');
        } else if (base == 16 && *p >= 'a' && *p <= 'f') {
            digit = static_cast<unsigned>(*p - 'a' + 10);
        } else if (base == 16 && *p >= 'A' && *p <= 'F') {
            digit = static_cast<unsigned>(*p - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base) return false;
        result = result * base + digit;
        if (result > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<uint32_t>(result);
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

uint32_t ToNetworkOrder(uint32_t host) {
    if constexpr (std::endian::native == std::endian::little) return __builtin_bswap32(host);
    return host;
}

}  // namespace

/* inet_addr: up to four parts; the last fills the remaining bytes (a: 32 bits, a.b: 8+24,
   a.b.c: 8+8+16). Trailing white space ends the text; anything else makes it invalid. */
uint32_t inet_addr(const char* cp) {
    if (cp == nullptr) return INADDR_NONE;
    uint32_t parts[4];
    int count = 0;
    const char* p = cp;
    for (;;) {
        if (count == 4 || !ReadPart(p, &parts[count])) return INADDR_NONE;
        ++count;
        if (*p != '.') break;
        ++p;
    }
    if (*p != '\0' && !IsBlank(*p)) return INADDR_NONE;
    for (int i = 0; i < count - 1; ++i) {
        if (parts[i] > 0xFF) return INADDR_NONE;
    }
    const uint32_t last = parts[count - 1];
    const uint32_t lastLimit = count == 1 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> (8 * (count - 1)));
    if (last > lastLimit) return INADDR_NONE;
    uint32_t host = last;
    for (int i = 0; i < count - 1; ++i) host |= parts[i] << (24 - 8 * i);
    return ToNetworkOrder(host);
}

/* htons: swaps the bytes on a little-endian host. */
uint16_t htons(uint16_t hostshort) {
    if constexpr (std::endian::native == std::endian::little) return __builtin_bswap16(hostshort);
    return hostshort;
}

/* ntohs: the same swap as htons. */
uint16_t ntohs(uint16_t netshort) {
    return htons(netshort);
}
