// Dotted IPv4 text and byte order.
#include <bit>

#include "platform/winsock.h"
#include "platform/winsock/posix_backend.h"

uint32_t inet_addr(const char* cp) {
    uint32_t address = INADDR_NONE;
    if (cp == nullptr || !platform_winsock::ParseDottedIPv4(cp, &address)) return INADDR_NONE;
    return address;
}

uint16_t htons(uint16_t hostshort) {
    if constexpr (std::endian::native == std::endian::little) return __builtin_bswap16(hostshort);
    return hostshort;
}

uint16_t ntohs(uint16_t netshort) {
    return htons(netshort);
}
