// An IPv4 socket address (internal to the platform layer). Both systems'
// socket calls take the same structure; each socket file includes its own
// system's headers before this one.
#ifndef QUILL_PLATFORM_COMMON_IPV4_ADDRESS_H
#define QUILL_PLATFORM_COMMON_IPV4_ADDRESS_H

#include <stdint.h>
#include <string.h>

namespace qp {

// address in network byte order, port in host byte order.
inline struct sockaddr_in ipv4_address(uint32_t address, uint16_t port) {
    struct sockaddr_in at;
    memset(&at, 0, sizeof at);
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = address;
    return at;
}

} // namespace qp

#endif
