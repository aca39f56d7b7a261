#include "transport/CNTPacket.h"
#include "transport/COLEDateTime.h"
#include "transport/CString.h"

#include <gtest/gtest.h>

#include <string.h>

#include <climits>
#include <vector>

#include "support/packet_bytes.h"

namespace {

using quill_test::Bytes;
using quill_test::bytes_of;
using quill_test::started;

// A received packet: the whole message stored with one write at cursor 0,
// cursor back to the start, header read.
CNTPacket received(const Bytes& wire) {
    CNTPacket packet;
    EXPECT_TRUE(packet.Write(wire.data(), static_cast<unsigned short>(wire.size())));
    packet.SetBufPoint(0);
    unsigned short message = 0, length = 0;
    packet >> message >> length;
    EXPECT_EQ(length, wire.size());
    return packet;
}

TEST(CNTPacketWire, HeaderAndOneScrambledInteger) {
    CNTPacket packet = started(1010);
    packet << 0x01020304;
    EXPECT_EQ(bytes_of(packet), (Bytes{0xF2, 0x03, 0x08, 0x00, 0x04 ^ 0x6B, 0x03, 0x02, 0x01}));
}

TEST(CNTPacketWire, ScramblingRestartsAtEveryField) {
    CNTPacket packet = started(1000);
    packet << 1.0; // 00 00 00 00 00 00 F0 3F
    EXPECT_EQ(bytes_of(packet),
              (Bytes{0xE8, 0x03, 12, 0, 0x6B, 0x00, 0x00, 0x00, 0x6B, 0x00, 0xF0, 0x3F}));

    CNTPacket text = started(1000);
    text << "abc";
    // The count and the text are separate chunks: the count's first byte and
    // the 'a' are scrambled, 'b' and 'c' are not.
    EXPECT_EQ(bytes_of(text), (Bytes{0xE8, 0x03, 9, 0, 0x03 ^ 0x6B, 0x00, 'a' ^ 0x6B, 'b', 'c'}));

    CNTPacket time = started(1000);
    SYSTEMTIME t = {2026, 12, 2, 8, 13, 45, 30, 500};
    time << t;
    const Bytes expected{0xE8, 0x03, 20,        0, 0xEA ^ 0x6B, 0x07, 12,        0, 2 ^ 0x6B, 0,
                         8,    0,    13 ^ 0x6B, 0, 45,          0,    30 ^ 0x6B, 0, 0xF4,     0x01};
    EXPECT_EQ(bytes_of(time), expected);
}

TEST(CNTPacketWire, PlainMessagesInEachDirection) {
    for (unsigned short plain : {747, 486}) {
        CNTPacket packet = started(plain);
        packet << 0x11223344 << "xy";
        const Bytes expected{static_cast<unsigned char>(plain & 0xFF),
                             static_cast<unsigned char>(plain >> 8),
                             12,
                             0,
                             0x44,
                             0x33,
                             0x22,
                             0x11,
                             2,
                             0,
                             'x',
                             'y'};
        EXPECT_EQ(bytes_of(packet), expected) << plain;
    }

    // 508 arrives in the clear; any other number is descrambled.
    CNTPacket clear = received({0xFC, 0x01, 8, 0, 0x44, 0x33, 0x22, 0x11});
    int value = 0;
    clear >> value;
    EXPECT_EQ(value, 0x11223344);
    CNTPacket scrambled = received({0xFD, 0x01, 8, 0, 0x44 ^ 0x6B, 0x33, 0x22, 0x11});
    scrambled >> value;
    EXPECT_EQ(value, 0x11223344);
    // A client packet numbered 508 is still scrambled when sent.
    CNTPacket sent = started(508);
    sent << 0x11223344;
    EXPECT_EQ(bytes_of(sent)[4], 0x44 ^ 0x6B);
}

TEST(CNTPacketWire, EveryFieldTypeRoundTrips) {
    CNTPacket packet = started(2000);
    SYSTEMTIME when = {1999, 1, 5, 1, 0, 0, 1, 999};
    packet << 'z' << static_cast<unsigned char>(250) << true << false << static_cast<short>(-12345)
           << static_cast<unsigned short>(65000) << -2000000000 << 4000000000u << -7L
           << 0xFFFFFFFFUL << 3.5f << -1e300 << when << ""
           << "Korean 가나다";
    const Bytes wire = bytes_of(packet);
    ASSERT_EQ(wire[2] | (wire[3] << 8), static_cast<int>(wire.size()));

    CNTPacket in = received(wire);
    char c = 0;
    unsigned char uc = 0;
    bool yes = false, no = true;
    short s = 0;
    unsigned short us = 0;
    int i = 0;
    unsigned int ui = 0;
    long l = 0;
    unsigned long ul = 0;
    float f = 0;
    double d = 0;
    SYSTEMTIME t = {};
    in >> c >> uc >> yes >> no >> s >> us >> i >> ui >> l >> ul >> f >> d >> t;
    EXPECT_EQ(c, 'z');
    EXPECT_EQ(uc, 250);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    EXPECT_EQ(s, -12345);
    EXPECT_EQ(us, 65000);
    EXPECT_EQ(i, -2000000000);
    EXPECT_EQ(ui, 4000000000u);
    EXPECT_EQ(l, -7L) << "a 4-byte long must be sign-extended";
    EXPECT_EQ(ul, 0xFFFFFFFFUL) << "a 4-byte unsigned long must be zero-extended";
    EXPECT_EQ(f, 3.5f);
    EXPECT_EQ(d, -1e300);
    EXPECT_EQ(memcmp(&t, &when, sizeof t), 0);
    std::string empty = "kept?", korean;
    in >> empty >> korean;
    EXPECT_EQ(empty, "");
    EXPECT_EQ(korean, "Korean 가나다");
    EXPECT_EQ(in.GetBufPoint(), in.GetBufSize());
}

TEST(CNTPacketWire, DatesTravelAsTheirDayCount) {
    COLEDateTime when(2026, 12, 8, 6, 0, 0);
    COLEDateTime invalid;
    invalid.SetStatus(COLEDateTime::invalid);
    CNTPacket packet = started(1004);
    packet << when << invalid;
    EXPECT_EQ(packet.GetBufSize(), 4 + 8 + 8);

    CNTPacket in = received(bytes_of(packet));
    COLEDateTime back, second;
    in >> back >> second;
    EXPECT_EQ(static_cast<double>(back), static_cast<double>(when));
    EXPECT_EQ(back.GetHour(), 6);
    // The status does not travel: whatever arrives is taken as valid.
    EXPECT_EQ(second.GetStatus(), COLEDateTime::valid);

    // Far out of range still arrives valid, and its parts stay safe to ask.
    CNTPacket distant = started(1004);
    distant << 1e300;
    CNTPacket distant_in = received(bytes_of(distant));
    COLEDateTime huge;
    distant_in >> huge;
    EXPECT_EQ(huge.GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(static_cast<double>(huge), 1e300);
    EXPECT_EQ(huge.GetYear(), -1) << "a value beyond the calendar has no year";
}

TEST(CNTPacketWire, CStringsReadAndWrite) {
    CNTPacket packet = started(1000);
    packet << CString("abc") << CString() << CString("가나");
    const Bytes wire = bytes_of(packet);
    EXPECT_EQ(Bytes(wire.begin() + 4, wire.begin() + 11),
              (Bytes{0x03 ^ 0x6B, 0, 'a' ^ 0x6B, 'b', 'c', 0x6B, 0}));

    CNTPacket in = received(bytes_of(packet));
    CString first, second("unchanged"), third;
    in >> first >> second >> third;
    EXPECT_STREQ(first, "abc");
    EXPECT_EQ(first.GetLength(), 3);
    EXPECT_STREQ(second, "unchanged") << "an empty text leaves the target as it was";
    EXPECT_STREQ(third, "가나");
}

TEST(CNTPacketWire, TextCutByTheEndKeepsOnlyWhatArrived) {
    // The count promises 10 bytes; 3 arrive.
    CNTPacket in = received({0x10, 0x00, 9, 0, 10 ^ 0x6B, 0, 'x' ^ 0x6B, 'y', 'z'});
    CString text("0123456789ABCDEF");
    in >> text;
    EXPECT_EQ(text.GetLength(), 3);
    EXPECT_STREQ(text, "xyz");

    // A count of 65535 with 3 bytes behind it takes no room for the rest.
    CNTPacket huge = received({0x10, 0x00, 9, 0, 0xFF ^ 0x6B, 0xFF, 'x' ^ 0x6B, 'y', 'z'});
    CString small;
    huge >> small;
    EXPECT_STREQ(small, "xyz");
    EXPECT_LT(small.GetAllocLength(), 1000);
}

TEST(CNTPacketWire, LongsTakeFourBytes) {
    CNTPacket packet = started(1);
    packet << static_cast<long>(-1) << static_cast<unsigned long>(1);
    EXPECT_EQ(packet.GetBufSize(), 12);
}

TEST(CNTPacketBounds, WritingStopsExactlyAtTheBufferEnd) {
    CNTPacket packet = started(1);
    std::vector<char> block(4092, 'x');
    EXPECT_TRUE(packet.Write(block.data(), 4092));
    EXPECT_EQ(packet.GetBufSize(), 4096);
    const Bytes before = bytes_of(packet);
    EXPECT_FALSE(packet.Write("y", 1));
    EXPECT_EQ(bytes_of(packet), before) << "a refused write changes nothing";
    EXPECT_EQ(packet.GetBufPoint(), 4096);

    CNTPacket almost = started(1);
    EXPECT_TRUE(almost.Write(block.data(), 4091));
    EXPECT_FALSE(almost.Write("ab", 2));
    EXPECT_TRUE(almost.Write("a", 1));
}

TEST(CNTPacketBounds, TextThatCannotFitLeavesNoCountBehind) {
    CNTPacket packet = started(1);
    std::string big(4090, 't');
    packet << big;
    EXPECT_EQ(packet.GetBufSize(), 4096);
    // Oversized: nothing at all, so the next field still lands where the
    // reader expects it.
    CNTPacket full = started(1);
    full << std::string(4091, 't') << 7;
    EXPECT_EQ(full.GetBufSize(), 8);
}

TEST(CNTPacketBounds, TextCountBeyondThePacketMakesNoRoomForIt) {
    CNTPacket packet = started(1);
    packet << static_cast<unsigned short>(0xFFFF);
    packet.Write("abc", 3);
    CNTPacket in = received(bytes_of(packet));
    std::string text;
    in >> text;
    EXPECT_EQ(text, "abc");
    // Room for the peer's count would be a 64 KiB allocation per text.
    EXPECT_LT(text.capacity(), 1024u);
    EXPECT_EQ(in.GetBufPoint(), in.GetBufSize());
}

TEST(CNTPacketBounds, ReadingPastTheEndKeepsOldValues) {
    CNTPacket packet = received({0x10, 0x00, 6, 0, 0x01 ^ 0x6B, 0x02});
    int value = 0x7F7F7F7F;
    packet >> value;
    // Two bytes were there; the other two of the target stay as they were.
    EXPECT_EQ(value, 0x7F7F0201);
    double d = 2.5;
    packet >> d;
    EXPECT_EQ(d, 2.5);
    bool flag = true;
    packet >> flag;
    EXPECT_TRUE(flag);
    char buffer[4] = {'k', 'k', 'k', 'k'};
    EXPECT_EQ(packet.Read(buffer, 4), 0);
    EXPECT_EQ(buffer[0], 'k');
}

TEST(CNTPacketBounds, TimeCutShortKeepsTheRestOfItsParts) {
    // Year, month and day of the week arrive; the packet ends there.
    CNTPacket packet = received({0x10, 0x00, 10, 0, 0xEA ^ 0x6B, 0x07, 12, 0, 2 ^ 0x6B, 0});
    SYSTEMTIME t = {1999, 1, 5, 1, 2, 3, 4, 5};
    packet >> t;
    const SYSTEMTIME expected = {2026, 12, 2, 1, 2, 3, 4, 5};
    EXPECT_EQ(memcmp(&t, &expected, sizeof t), 0);
}

TEST(CNTPacketBounds, SkipStopsAtTheEnd) {
    CNTPacket packet = received({0x10, 0x00, 10, 0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(packet.SkipRead(4), 4);
    EXPECT_EQ(packet.SkipRead(100), 2);
    EXPECT_EQ(packet.GetBufPoint(), 10);
    EXPECT_EQ(packet.SkipRead(1), 0);
}

TEST(CNTPacketBounds, BadCountersNeverLeaveTheBuffer) {
    CNTPacket packet = started(1);
    packet << 1;
    packet.SetBufPoint(6000); // beyond both the length and the buffer
    char out[8] = {};
    EXPECT_EQ(packet.Read(out, 8), 0);
    EXPECT_EQ(packet.SkipRead(8), 0);

    packet.SetBufSize(65535); // a length the buffer cannot hold
    packet.SetBufPoint(4090);
    EXPECT_EQ(packet.Read(out, 8), 6);
    EXPECT_EQ(packet.SkipRead(8), 0);

    // Copying such a packet copies at most the buffer.
    CNTPacket copy(packet);
    EXPECT_EQ(copy.GetBufSize(), 65535);

    // Writing behind the cursor never lets the length pass the buffer.
    CNTPacket rewound = started(1);
    std::vector<char> block(4000, 'x');
    rewound.Write(block.data(), 4000);
    rewound.SetBufPoint(4);
    rewound.Write(block.data(), 4000);
    EXPECT_LE(rewound.GetBufSize(), 4096);
    EXPECT_FALSE(rewound.Write(nullptr, 4));
}

TEST(CNTPacketState, DescramblingHappensOnceInPlace) {
    CNTPacket packet = received({0x10, 0x00, 8, 0, 0x05 ^ 0x6B, 0, 0, 0});
    int first = 0, again = 0;
    packet >> first;
    packet.SetBufPoint(4);
    packet >> again;
    EXPECT_EQ(first, 5);
    EXPECT_EQ(again, 5 ^ 0x6B) << "a second read sees the bytes scrambled again";
}

TEST(CNTPacketState, CopyTakesOnlyTheValidBytes) {
    CNTPacket source = started(3);
    source << 1;
    CNTPacket target;
    std::vector<char> junk(100, 'j');
    target.Write(junk.data(), 100);
    target = source;
    EXPECT_EQ(target.GetBufSize(), 8);
    EXPECT_EQ(target.GetBufPoint(), 8);
    EXPECT_EQ(bytes_of(target), bytes_of(source));
    EXPECT_EQ(target.GetBuf()[50], 'j') << "bytes past the length are left as they were";

    target.InitPacket();
    EXPECT_TRUE(target.IsBufEmpty());
    EXPECT_EQ(target.GetBufSize(), 0);
    EXPECT_EQ(target.GetBuf()[50], 0);
    EXPECT_EQ(static_cast<const void*>(target.GetBuf()), static_cast<const void*>(&target));
}

TEST(CNTPacketState, ConcreteScramblesEveryFourthByte) {
    CNTPacket packet;
    unsigned char block[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    packet.Concrete(block, 9);
    EXPECT_EQ(Bytes(block, block + 9), (Bytes{0x6B, 1, 2, 3, 4 ^ 0x6B, 5, 6, 7, 8 ^ 0x6B}));
    packet.Concrete(block, 9);
    EXPECT_EQ(block[4], 4);
}

} // namespace
