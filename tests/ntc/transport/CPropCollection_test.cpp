#include "transport/CPropCollection.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "transport/CNTPacket.h"

#include "support/packet_bytes.h"
#include "support/variant_values.h"

namespace {

using quill_test::Bytes;
using quill_test::bytes_of;

CNTPacket started() {
    CNTPacket packet;
    packet << static_cast<unsigned short>(1500) << static_cast<unsigned short>(0);
    return packet;
}

// The packet as the receiving side sees it, cursor after the header.
CNTPacket arrived(const CNTPacket& sent) {
    CNTPacket packet;
    packet.Write(sent.GetBuf(), sent.GetBufSize());
    packet.SetBufPoint(4);
    return packet;
}

_variant_t round_trip(const _variant_t& value) {
    CNTPacket packet = started();
    packet << value;
    CNTPacket in = arrived(packet);
    _variant_t back(3.25); // something to be cleared
    in >> back;
    EXPECT_EQ(in.GetBufPoint(), in.GetBufSize()) << "the reader must take exactly what was written";
    return back;
}

TEST(VariantWire, LiteralForms) {
    CNTPacket integer = started();
    integer << _variant_t(5L);
    EXPECT_EQ(bytes_of(integer), (Bytes{0xDC, 0x05, 10, 0, 0x03 ^ 0x6B, 0, 0x05 ^ 0x6B, 0, 0, 0}));

    CNTPacket flag = started();
    flag << _variant_t(true);
    EXPECT_EQ(bytes_of(flag), (Bytes{0xDC, 0x05, 7, 0, 0x0B ^ 0x6B, 0, 0x01 ^ 0x6B}));

    CNTPacket empty = started();
    empty << _variant_t();
    EXPECT_EQ(bytes_of(empty), (Bytes{0xDC, 0x05, 6, 0, 0x6B, 0}));

    CNTPacket text = started();
    text << _variant_t("hi");
    EXPECT_EQ(bytes_of(text),
              (Bytes{0xDC, 0x05, 10, 0, 0x08 ^ 0x6B, 0, 0x02 ^ 0x6B, 0, 'h' ^ 0x6B, 'i'}));
}

TEST(VariantWire, EverySupportedTagRoundTrips) {
    EXPECT_EQ(round_trip(_variant_t(static_cast<short>(-300))).vt, VT_I2);
    EXPECT_EQ(round_trip(_variant_t(static_cast<short>(-300))).iVal, -300);
    EXPECT_EQ(round_trip(_variant_t(-70000L)).lVal, -70000);
    EXPECT_EQ(round_trip(_variant_t(2.5f)).fltVal, 2.5f);
    EXPECT_EQ(round_trip(_variant_t(-1e-300)).dblVal, -1e-300);
    const _variant_t date = round_trip(_variant_t(45000.75, VT_DATE));
    EXPECT_EQ(date.vt, VT_DATE);
    EXPECT_EQ(date.date, 45000.75);
    EXPECT_EQ(round_trip(_variant_t("Korean 가나다")).GetNarrowString(), "Korean 가나다");
    EXPECT_EQ(round_trip(_variant_t(true)).boolVal, VARIANT_TRUE);
    EXPECT_EQ(round_trip(_variant_t(false)).boolVal, VARIANT_FALSE);
    EXPECT_EQ(round_trip(_variant_t('q')).vt, VT_I1);
    EXPECT_EQ(round_trip(_variant_t('q')).cVal, 'q');
    EXPECT_EQ(round_trip(_variant_t(static_cast<BYTE>(200))).bVal, 200);
    EXPECT_EQ(round_trip(_variant_t(static_cast<unsigned short>(60000))).uiVal, 60000);
    EXPECT_EQ(round_trip(_variant_t(4000000000UL)).ulVal, 4000000000u);
    const _variant_t i = round_trip(_variant_t(-5));
    EXPECT_EQ(i.vt, VT_INT);
    EXPECT_EQ(i.intVal, -5);
    const _variant_t u = round_trip(_variant_t(7u));
    EXPECT_EQ(u.vt, VT_UINT);
    EXPECT_EQ(u.uintVal, 7u);

    const _variant_t dec = round_trip(_variant_t(quill_test::sample_decimal()));
    EXPECT_EQ(dec.vt, VT_DECIMAL);
    EXPECT_EQ(dec.decVal.scale, 2);
    EXPECT_EQ(dec.decVal.sign, DECIMAL_NEG);
    EXPECT_EQ(dec.decVal.Hi32, 1u);
    EXPECT_EQ(dec.decVal.Lo64, 12345u);
}

TEST(VariantWire, ByReferenceTravelsAsThePlainValue) {
    short small = 7;
    CNTPacket packet = started();
    packet << _variant_t::ByRef(&small);
    EXPECT_EQ(bytes_of(packet), (Bytes{0xDC, 0x05, 8, 0, 0x02 ^ 0x6B, 0, 0x07 ^ 0x6B, 0}));
    const _variant_t back = round_trip(_variant_t::ByRef(&small));
    EXPECT_EQ(back.vt, VT_I2);
    EXPECT_EQ(back.iVal, 7);

    double wide = 0.5;
    EXPECT_EQ(round_trip(_variant_t::ByRef(&wide)).dblVal, 0.5);
    BSTR text = SysAllocString(reinterpret_cast<const WCHAR*>(u"ab"));
    EXPECT_EQ(round_trip(_variant_t::ByRef(&text)).GetNarrowString(), "ab");
    SysFreeString(text);
}

TEST(VariantWire, UnsupportedTypesTravelAsTheBareTag) {
    _variant_t currency;
    currency.vt = VT_CY;
    currency.cyVal.int64 = 12345;
    CNTPacket packet = started();
    packet << currency << _variant_t(1L);
    EXPECT_EQ(packet.GetBufSize(), 4 + 2 + 6);
    CNTPacket in = arrived(packet);
    _variant_t first(1.0), second;
    in >> first >> second;
    EXPECT_EQ(first.vt, VT_EMPTY);
    EXPECT_EQ(second.vt, VT_I4) << "the field after an unsupported one must still be found";

    _variant_t null;
    null.vt = VT_NULL;
    EXPECT_EQ(round_trip(null).vt, VT_NULL);
    EXPECT_EQ(round_trip(_variant_t()).vt, VT_EMPTY);
}

TEST(VariantWire, TruncatedValueIsSafe) {
    // A string tag whose count promises more than the packet holds.
    CNTPacket packet = started();
    packet << static_cast<unsigned short>(VT_BSTR) << static_cast<unsigned short>(4000);
    CNTPacket in = arrived(packet);
    _variant_t value(2L);
    in >> value;
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(value.GetNarrowString(), "");
}

TEST(CPropCollection, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    CPropCollection props;
    props.SetProperty("Level", _variant_t(1L));
    props.SetProperty("level", _variant_t(2L));
    ASSERT_EQ(props.GetProperties().size(), 1u);
    EXPECT_STREQ(static_cast<const char*>(props.GetProperties().begin()->first), "Level");
    EXPECT_EQ(props.GetProperty("LEVEL").lVal, 2);
    EXPECT_EQ(props.GetProperty("missing").vt, VT_EMPTY);
    props.EraseProperty("lEvEl");
    EXPECT_TRUE(props.GetProperties().empty());
    props.SetProperty(nullptr, _variant_t(1L)); // ignored
    EXPECT_EQ(props.GetProperty(nullptr).vt, VT_EMPTY);
}

TEST(CPropCollection, OrderFollowsTheCaseFoldedBytes) {
    CPropCollection props;
    for (const char* name : {"b", "A", "C", "_", "a1"})
        props.SetProperty(name, _variant_t());
    std::vector<std::string> order;
    for (const auto& entry : props.GetProperties())
        order.push_back(static_cast<const char*>(entry.first));
    // Letters are folded to lower case, so '_' (0x5F) sorts before them all;
    // folding to upper case would put it after.
    EXPECT_EQ(order, (std::vector<std::string>{"_", "A", "a1", "b", "C"}));
}

TEST(CPropCollection, PacketRoundTripKeepsEveryEntry) {
    CPropCollection props;
    props.SetProperty("hp", _variant_t(100L));
    props.SetProperty("Name", _variant_t("전사"));
    props.SetProperty("alive", _variant_t(true));
    CNTPacket packet = started();
    packet << props << 99;
    CNTPacket in = arrived(packet);
    CPropCollection back;
    back.SetProperty("stale", _variant_t(1L));
    int after = 0;
    in >> back >> after;
    EXPECT_EQ(after, 99);
    ASSERT_EQ(back.GetProperties().size(), 3u);
    EXPECT_EQ(back.GetProperty("HP").lVal, 100);
    EXPECT_EQ(back.GetProperty("name").GetNarrowString(), "전사");
    EXPECT_EQ(back.GetProperty("alive").boolVal, VARIANT_TRUE);
    EXPECT_EQ(back.GetProperty("stale").vt, VT_EMPTY);
}

TEST(CPropCollection, ReadingTakesTheFirstOfEqualNamesAndReusesTheName) {
    CNTPacket packet = started();
    packet << 4;
    packet << "Gold" << _variant_t(1L);
    packet << "GOLD" << _variant_t(2L); // equal without case: ignored
    packet << "" << _variant_t(3L);     // no name: the one before, so ignored too
    packet << "x" << _variant_t(4L);
    CNTPacket in = arrived(packet);
    CPropCollection props;
    in >> props;
    ASSERT_EQ(props.GetProperties().size(), 2u);
    EXPECT_EQ(props.GetProperty("gold").lVal, 1);
    EXPECT_EQ(props.GetProperty("x").lVal, 4);
}

TEST(CPropCollection, HostileCountsStopAtTheEnd) {
    CNTPacket packet = started();
    packet << 0x7FFFFFFF << "a" << _variant_t(1L);
    CNTPacket in = arrived(packet);
    CPropCollection props;
    in >> props;
    EXPECT_EQ(props.GetProperties().size(), 1u);

    // A length beyond the buffer must not keep the reader going once the
    // buffer's bytes are used up.
    CNTPacket bloated = arrived(packet);
    bloated.SetBufSize(65535);
    bloated >> props;
    EXPECT_EQ(props.GetProperty("a").lVal, 1);
    EXPECT_LE(bloated.GetBufPoint(), 4096);

    CNTPacket negative = started();
    negative << -5 << "a" << _variant_t(1L);
    CNTPacket in2 = arrived(negative);
    in2 >> props;
    EXPECT_TRUE(props.GetProperties().empty());
}

TEST(CPropCollectionImage, CountAndLengthShareTheFirstFourBytes) {
    CPropCollection props;
    props.SetProperty("a", _variant_t(static_cast<short>(1)));
    props.SetProperty("b", _variant_t(static_cast<short>(2)));
    const Bytes image = props;
    // Count 2 in bytes 0-1, the image's length in bytes 2-3.
    ASSERT_EQ(image.size(), 4u + 2 * (2 + 1 + 2 + 2));
    EXPECT_EQ(image[0], 2);
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(image[2] | (image[3] << 8), static_cast<int>(image.size()));
    // The entries follow the packet rule: scrambled per chunk.
    EXPECT_EQ(image[4], 1 ^ 0x6B);
    EXPECT_EQ(image[6], 'a' ^ 0x6B);

    CPropCollection back;
    back.CopyFrom(image);
    ASSERT_EQ(back.GetProperties().size(), 2u);
    EXPECT_EQ(back.GetProperty("a").iVal, 1);
    EXPECT_EQ(back.GetProperty("b").iVal, 2);

    CPropCollection assigned;
    assigned = image;
    EXPECT_EQ(assigned.GetProperties().size(), 2u);
    assigned = Bytes();
    EXPECT_TRUE(assigned.GetProperties().empty());
}

TEST(CPropCollectionImage, CountsThatLookLikePlainMessagesRoundTrip) {
    // 486 entries are written unscrambled (the count stands where a plain
    // message number stands) and 508 are read unscrambled by the packet
    // rule; the image must come back either way.
    for (int count : {486, 508}) {
        CPropCollection props;
        for (int i = 0; i < count; ++i) {
            char name[16];
            snprintf(name, sizeof name, "%03d", i);
            props.SetProperty(name, _variant_t(static_cast<BYTE>(i & 0xFF)));
        }
        const Bytes image = props;
        ASSERT_LE(image.size(), 4096u);
        CPropCollection back;
        back.CopyFrom(image);
        ASSERT_EQ(back.GetProperties().size(), static_cast<size_t>(count));
        EXPECT_EQ(back.GetProperty("485").bVal, 485 & 0xFF) << count;
    }
}

TEST(CPropCollectionImage, BadImagesAreRefusedOrCut) {
    CPropCollection props;
    props.SetProperty("kept?", _variant_t(1L));
    props.CopyFrom(Bytes(5000, 0x01));
    EXPECT_TRUE(props.GetProperties().empty()) << "an image larger than a packet is refused";

    // A count far beyond the entries: reading stops at the end of the image.
    Bytes image{0xFF, 0xFF, 0, 0};
    props.CopyFrom(image);
    EXPECT_TRUE(props.GetProperties().empty());
    props.CopyFrom(Bytes{3});
    EXPECT_TRUE(props.GetProperties().empty());
}

TEST(CPropCollection, VariantConversionsCarryNothing) {
    CPropCollection props;
    props.SetProperty("a", _variant_t(1L));
    const _variant_t as_variant = props;
    EXPECT_EQ(as_variant.vt, VT_EMPTY);
    props = _variant_t(5L);
    EXPECT_TRUE(props.GetProperties().empty());
    CPropCollection from(_variant_t(5L));
    EXPECT_TRUE(from.GetProperties().empty());
}

} // namespace
