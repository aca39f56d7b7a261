// What both systems' socket calls share (internal to the platform layer):
// the IPv4 address structure and the option names. Each socket file
// includes its own system's headers before this one.
#ifndef QUILL_PLATFORM_COMMON_SOCKET_AIDS_H
#define QUILL_PLATFORM_COMMON_SOCKET_AIDS_H

#include <stdint.h>
#include <string.h>

#include "quill/platform/socket.h"

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

// The system's name of an option; false for one it does not know.
inline bool socket_option_name(SocketOption option, int* name) {
    switch (option) {
    case kReceiveTimeout:
        *name = SO_RCVTIMEO;
        return true;
    case kSendTimeout:
        *name = SO_SNDTIMEO;
        return true;
    case kSendBuffer:
        *name = SO_SNDBUF;
        return true;
    case kReceiveBuffer:
        *name = SO_RCVBUF;
        return true;
    }
    return false;
}

} // namespace qp

#endif
