// Reads every value type the library carries from arbitrary packet bytes, in
// an order the input chooses, as a dispatcher would read a hostile message.
// Texts and property collections read must travel back unchanged.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "transport/CNTPacket.h"
#include "transport/COLEDateTime.h"
#include "transport/CPropCollection.h"
#include "transport/CString.h"
#include "transport/VariantT.h"

namespace {

// The bytes a collection's wire form takes, entry by entry, without the
// bound of a packet.
size_t wire_size(const CPropCollection& collection) {
    size_t size = 4;
    for (const auto& entry : collection.GetProperties()) {
        CNTPacket value;
        value << entry.second;
        // A text too long for even a packet of its own leaves its tag alone.
        const VARIANT& v = entry.second;
        if ((v.vt & ~VT_BYREF) == VT_BSTR && value.GetBufSize() < 4)
            return SIZE_MAX;
        size += 2 + strlen(entry.first) + value.GetBufSize();
    }
    return size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes steer: which fields to read, and the counters.
    const uint8_t plan = data[0];
    const uint8_t counters = data[1];
    data += 2;
    size -= 2;

    CNTPacket packet;
    const size_t max_size = CNTPacket::MAX_PACKET_SIZE;
    const size_t stored = size < max_size ? size : max_size;
    packet.Write(data, static_cast<unsigned short>(stored));
    packet.SetBufPoint(0);
    if (counters & 1) // a length the buffer cannot hold
        packet.SetBufSize(static_cast<unsigned short>(0xFFFF - counters));
    if (counters & 2) // a cursor past the length
        packet.SetBufPoint(static_cast<unsigned short>(stored + counters));

    unsigned short message = 0, length = 0;
    packet >> message >> length;
    for (int round = 0; round < 64 && packet.GetBufPoint() < packet.GetBufSize(); ++round) {
        const int kind = (plan + round * 7 + packet.GetBufPoint()) % 12;
        switch (kind) {
        case 0: {
            char c;
            bool b;
            packet >> c >> b;
            break;
        }
        case 1: {
            short s;
            unsigned short us;
            packet >> s >> us;
            break;
        }
        case 2: {
            long l;
            unsigned long ul;
            int i;
            packet >> l >> ul >> i;
            break;
        }
        case 3: {
            float f;
            double d;
            packet >> f >> d;
            break;
        }
        case 4: {
            SYSTEMTIME t;
            packet >> t;
            break;
        }
        case 5: {
            std::string text;
            packet >> text;
            // Never more than a packet holds (a forged length lets the
            // reader see the whole buffer), and it travels back as read.
            if (text.size() > max_size || text.find('\0') != std::string::npos)
                __builtin_trap();
            CNTPacket echo;
            echo << static_cast<unsigned short>(1) << static_cast<unsigned short>(0) << text;
            echo.SetBufPoint(CNTPacket::HEADER_SIZE);
            std::string back = "stale";
            echo >> back;
            if (back != text)
                __builtin_trap();
            break;
        }
        case 6:
            packet.SkipRead(static_cast<unsigned short>(plan));
            break;
        case 7: {
            CString text("old");
            packet >> text;
            break;
        }
        case 8: {
            COLEDateTime date;
            packet >> date;
            date.GetYear();
            date.GetDayOfYear();
            break;
        }
        case 9: {
            _variant_t value;
            packet >> value;
            value.GetNarrowString();
            break;
        }
        case 10: {
            CPropCollection collection;
            packet >> collection;
            const std::vector<unsigned char> image = collection;
            if (image.size() > max_size)
                __builtin_trap();
            // Written as a byte image and read back, it is the same, where
            // its wire form fits a packet at all. A text read from the packet
            // may need more bytes once converted back (an invalid byte turns
            // into a replacement character), and a text without room is not
            // written.
            if (wire_size(collection) <= max_size) {
                CPropCollection again;
                again.CopyFrom(image);
                if (static_cast<std::vector<unsigned char>>(again) != image)
                    __builtin_trap();
            }
            break;
        }
        default: {
            char block[64];
            packet.Read(block, static_cast<unsigned short>(counters % sizeof block));
            break;
        }
        }
    }
    // Byte images straight from the input.
    if (plan & 0x80) {
        CPropCollection collection;
        collection.CopyFrom(std::vector<unsigned char>(data, data + size));
    }
    return 0;
}
