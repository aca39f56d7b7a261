// Defensive reading of counted lists and plain numbers.
#include "protocol/WireLists.h"

#include <gtest/gtest.h>

#include <vector>

#include "objects/TPrivData.h"

namespace {

// A received packet: header, then the given plain bytes scrambled as one
// chunk each (every field is its own chunk).
CNTPacket received(const std::vector<std::vector<unsigned char>>& fields) {
    std::vector<unsigned char> bytes{0x12, 0x27, 0, 0}; // message 10002
    for (std::vector<unsigned char> field : fields) {
        for (size_t i = 0; i < field.size(); i += 4)
            field[i] ^= 0x6B;
        bytes.insert(bytes.end(), field.begin(), field.end());
    }
    bytes[2] = static_cast<unsigned char>(bytes.size() & 0xFF);
    bytes[3] = static_cast<unsigned char>(bytes.size() >> 8);
    CNTPacket packet;
    packet.Write(bytes.data(), static_cast<unsigned short>(bytes.size()));
    packet.SetBufPoint(4);
    return packet;
}

std::vector<unsigned char> le16(unsigned value) {
    return {static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>(value >> 8)};
}

TEST(WireLists, SmallestWireSizeIsWhatTheReaderTakesFromZeros) {
    // 2 + 6*4 + 3*2 + 3*4 + 2 + 4 + 4 + 2 + 2 + 8 + 4*2
    EXPECT_EQ(74u, ntc_wire::MinWireSize<TPrivData>());
    EXPECT_EQ(2u, ntc_wire::MinWireSize<short>());
}

TEST(WireLists, CountOf32768OrMoreIsRefusedWithoutTouchingTheList) {
    CNTPacket packet = received({le16(32768)});
    std::vector<short> list{1, 2, 3};
    unsigned count = 0;
    EXPECT_FALSE(ntc_wire::ReadList(packet, list, &count));
    EXPECT_EQ(32768u, count);
    EXPECT_EQ((std::vector<short>{1, 2, 3}), list);
}

TEST(WireLists, CountLongerThanThePacketResizesAndKeepsDefaultsPastTheEnd) {
    // Two shorts follow, the count says three.
    CNTPacket packet = received({le16(3), le16(7), le16(8)});
    std::vector<short> list;
    EXPECT_TRUE(ntc_wire::ReadList(packet, list));
    EXPECT_EQ((std::vector<short>{7, 8, 0}), list);

    // One TPrivData needs 74 bytes; 73 are there.
    CNTPacket short_by_one = received({le16(1), std::vector<unsigned char>(73, 0)});
    std::vector<TPrivData> records;
    EXPECT_TRUE(ntc_wire::ReadList(short_by_one, records));
    EXPECT_EQ(1u, records.size());

    // The largest count allowed, and nothing after it.
    CNTPacket largest = received({le16(32767)});
    EXPECT_TRUE(ntc_wire::ReadList(largest, list));
    EXPECT_EQ(32767u, list.size());
}

TEST(WireLists, CountThatFitsResizesAndReadsInPlace) {
    CNTPacket packet = received({le16(2), le16(7), le16(0xFFF8)});
    std::vector<short> list{5, 5, 5, 5};
    EXPECT_TRUE(ntc_wire::ReadList(packet, list));
    EXPECT_EQ((std::vector<short>{7, -8}), list);

    CNTPacket empty = received({le16(0)});
    EXPECT_TRUE(ntc_wire::ReadList(empty, list));
    EXPECT_TRUE(list.empty());
}

TEST(WireLists, NumberPastTheEndReadsAsZero) {
    CNTPacket packet = received({le16(9)});
    unsigned short first = 1;
    unsigned long beyond = 77;
    ntc_wire::ReadNumber(packet, first);
    ntc_wire::ReadNumber(packet, beyond);
    EXPECT_EQ(9, first);
    EXPECT_EQ(0u, beyond);
}

} // namespace
