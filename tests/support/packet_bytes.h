// Packets as bytes, for the tests of the packet and of the records it
// carries.
#ifndef QUILL_TESTS_PACKET_BYTES_H
#define QUILL_TESTS_PACKET_BYTES_H

#include <vector>

#include "transport/CNTPacket.h"

namespace quill_test {

using Bytes = std::vector<unsigned char>;

// What the packet holds, header included.
inline Bytes bytes_of(const CNTPacket& packet) {
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(packet.GetBuf());
    return Bytes(begin, begin + packet.GetBufSize());
}

// A packet being built: the header of message with length 0, cursor after it.
inline CNTPacket started(unsigned short message) {
    CNTPacket packet;
    packet << message << static_cast<unsigned short>(0);
    return packet;
}

// A message as it arrives: stored as it travelled with one write at cursor
// 0, then its header read, so that the cursor is on the first field.
inline CNTPacket received(const Bytes& wire) {
    CNTPacket packet;
    packet.Write(wire.data(), static_cast<unsigned short>(wire.size()));
    packet.SetBufPoint(0);
    unsigned short message = 0, length = 0;
    packet >> message >> length;
    return packet;
}

} // namespace quill_test

#endif
