// Reading received fields defensively (internal to the library).
//
// A plain number that lies beyond the end of a short message reads as 0,
// not as whatever the target held. A message shorter than its lists still
// arrives: the records that lie beyond its end keep their default values.
// Only a count of 32768 or more, which no packet can carry, is refused; a
// refused list is neither allocated nor read.
#ifndef QUILLNTC_PROTOCOL_WIRELISTS_H
#define QUILLNTC_PROTOCOL_WIRELISTS_H

#include <vector>

#include "transport/CNTPacket.h"

namespace ntc_wire {

enum { MAX_LIST_COUNT = 32767 };

// Reads a plain number; what the packet cannot deliver stays 0.
template <class T>
void ReadNumber(CNTPacket& packet, T& target) {
    T value = T();
    packet >> value;
    target = value;
}

// The fewest bytes a record of type T occupies on the wire: what its reader
// takes from an all-zero payload (every count 0, every string empty). 0 for
// records that carry nothing (TNPC). For checks of what a list can carry.
template <class T>
unsigned MinWireSize() {
    static const unsigned size = [] {
        CNTPacket probe;
        // 508 is read without descrambling, so the zeros stay zeros.
        probe.GetBuf()[0] = static_cast<char>(508 & 0xFF);
        probe.GetBuf()[1] = static_cast<char>(508 >> 8);
        probe.SetBufSize(CNTPacket::MAX_PACKET_SIZE);
        probe.SetBufPoint(CNTPacket::HEADER_SIZE);
        T record = T();
        probe >> record;
        return static_cast<unsigned>(probe.GetBufPoint() - CNTPacket::HEADER_SIZE);
    }();
    return size;
}

// True for a count a list may have: the bound of any allocation from it.
inline bool CountAllowed(unsigned count) {
    return count <= MAX_LIST_COUNT;
}

// Reads a counted list into list: its length becomes the count (new records
// default-constructed at the end, surplus removed from the end), then every
// record is read in place, element 0 first. False, list untouched, when the
// count is refused; *count_out (if given) receives the count either way.
template <class T>
bool ReadList(CNTPacket& packet, std::vector<T>& list, unsigned* count_out = nullptr) {
    unsigned short count = 0;
    packet >> count;
    if (count_out)
        *count_out = count;
    if (!CountAllowed(count))
        return false;
    list.resize(count);
    // Past the end of the packet a read leaves the record as it is.
    for (T& record : list)
        packet >> record;
    return true;
}

// Writes a counted list: the element count as a 16-bit value, then the
// elements in order. Elements the packet has no room for are not written.
template <class T>
void WriteList(CNTPacket& packet, const std::vector<T>& list) {
    packet << static_cast<unsigned short>(list.size());
    for (const T& record : list)
        packet << record;
}

} // namespace ntc_wire

#endif
