#include "protocol/CNTMainClient.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "objects/GameObjects.h"
#include "objects/TPrivData.h"
#include "protocol/CNTProxy.h"
#include "protocol/CNTStub.h"
#include "protocol/CNestedReply.h"
#include "server_message.h"
#include "support/forwarding_stub.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"
#include "transport/CString.h"

using quill_test::ServerMessage;

namespace {

std::string show(unsigned char value) {
    return std::to_string(value);
}
std::string show(short value) {
    return std::to_string(value);
}
std::string show(unsigned long value) {
    return std::to_string(value);
}
std::string show_float(float value) {
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    return text;
}
template <size_t N> std::string show(const CWizCharString<N>& text) {
    return "\"" + std::string(text.GetText()) + "\"";
}
std::string show(const CString& text) {
    return "\"" + std::string(text, text.GetLength()) + "\"";
}
std::string show(const CNTVector& vector) {
    return "v(" + show_float(vector.x) + "," + show_float(vector.z) + ")";
}
std::string show(const CDRVector& movement) {
    const CNTVector pos = movement.GetPos();
    return "dr(" + show_float(pos.x) + "," + show_float(pos.z) + "," +
           show_float(movement.GetAY()) + "," + show_float(movement.GetSpeed()) + ")";
}
// The first and the last fields of the record and some between.
std::string show(const TPrivData& data) {
    return "priv(" + std::to_string(data.GetParamPoint()) + "," + show_float(data.GetKI()) + "," +
           std::to_string(data.GetLevel()) + "," + std::to_string(data.GetExp()) + "," +
           std::to_string(data.GetGold()) + "," + std::to_string(data.GetSelectSkillIndex(4)) + ")";
}
std::string show(TAvatar& a) {
    std::string appearance;
    for (long value : a.GetAppearance())
        appearance += (appearance.empty() ? "" : " ") + std::to_string(value);
    return "avatar(" + std::to_string(a.GetJoinedSessionID()) + "," + std::to_string(a.GetID()) +
           "," + std::to_string(a.GetCurZoneID()) + "," + std::to_string(a.GetAvatarIndex()) + "," +
           std::to_string(a.GetAvatarTemplateID()) + "," + show(*a.GetDRVector()) + "," +
           std::to_string(a.GetAniID()) + "," + show(a.GetNickname()) + "," +
           (a.IsTransparent() ? "t" : "f") + ",{" + appearance + "})";
}
std::string show(TMonster& m) {
    return "monster(" + std::to_string(m.GetID()) + "," + std::to_string(m.GetCurZoneID()) + "," +
           std::to_string(m.GetMonsterTemplateID()) + "," + show(*m.GetDRVector()) + "," +
           std::to_string(m.GetAniID()) + "," + show_float(m.GetMonHP()) + ")";
}
std::string show(TNPC& n) {
    return "npc" + std::to_string(n.GetType());
}
std::string show(TWorldItem& w) {
    return "witem(" + std::to_string(w.GetID()) + "," + std::to_string(w.GetCurZoneID()) + "," +
           show(*w.GetDRVector()) + "," + std::to_string(w.GetWorldItemID()) + "," +
           std::to_string(w.GetWorldItemExp()) + "," + std::to_string(w.GetWorldItemOptionID()) +
           ")";
}
std::string show(TItem& i) {
    return "item(" + std::to_string(i.GetAvatarIndex()) + "," + std::to_string(i.GetItemIndex()) +
           "," + std::to_string(i.GetItemID()) + "," + std::to_string(i.GetItemOptionID()) + "," +
           std::to_string(i.GetTempUUID()) + "," + std::to_string(i.GetItemCount()) + ")";
}
std::string show(TSkill& k) {
    return "skill(" + std::to_string(k.GetSkillIndex()) + "," + std::to_string(k.GetSkillID()) +
           "," + std::to_string(k.GetSkillExp()) + "," + std::to_string(k.GetTempUUID()) + ")";
}
std::string show(sGS& g) {
    return "gs(" + std::to_string(g.Value1) + "," + std::to_string(g.Value2) + ")";
}
template <typename T> std::string show(std::vector<T>& list) {
    std::string text = "[";
    for (size_t i = 0; i < list.size(); ++i)
        text += (i ? "," : "") + show(list[i]);
    return text + "]";
}

// Writes each callback as its name and its arguments, and the capacity of
// each list argument.
struct TextSink {
    std::vector<std::string> calls;
    std::vector<size_t> capacities;

    template <typename... Args> void operator()(const char* name, Args&... args) {
        const std::string shown[] = {std::string(), show(args)...};
        std::string line = std::string(name) + "(";
        for (size_t i = 1; i < sizeof shown / sizeof shown[0]; ++i)
            line += (i > 1 ? "," : "") + shown[i];
        calls.push_back(line + ")");
        (note_capacity(args), ...);
    }

    template <typename T> void note_capacity(const T&) {}
    template <typename T> void note_capacity(const std::vector<T>& list) {
        capacities.push_back(list.capacity());
    }
};

class TestClient : public CNTMainClient {
public:
    void ProcessConnectionLost() override {}
};

// Every field of the own avatar's statistics, in wire order.
ServerMessage& priv_data(ServerMessage& m, int16_t first, int16_t last) {
    m.i16(first);
    for (int i = 0; i < 6; ++i) // attributes; KI is the sixth
        m.f32(1.5f + i);
    m.i16(11).i16(12).i16(13);                     // re-divisions
    m.f32(100.0f).f32(50.0f).f32(25.0f);           // HP, MP, SP
    m.i16(42).u32(123456).u32(7654321);            // level, exp, gold
    m.i16(3005).i16(2).f64(46000.5);               // weapon, bags, deletion date
    return m.i16(100).i16(200).i16(300).i16(last); // chosen skills
}

class Dispatch : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch; // the network log goes here
    TestClient client;
    quill_test::ForwardingStub<TextSink> stub;

    void SetUp() override { client.Attach(&stub); }

    std::vector<std::string> dispatch(const ServerMessage& message) {
        CNTPacket packet = message.packet();
        EXPECT_EQ(client.ProcessPacketFromServer(packet), 0u);
        std::vector<std::string> calls;
        calls.swap(stub.sink.calls);
        return calls;
    }
    std::string one_call(const ServerMessage& message) {
        const std::vector<std::string> calls = dispatch(message);
        EXPECT_EQ(calls.size(), 1u);
        return calls.empty() ? "" : calls[0];
    }
};

struct Case {
    ServerMessage message;
    std::string expected;
};

std::vector<Case> plain_cases() {
    typedef ServerMessage M;
    M priv13002(13002), priv21008(21008);
    priv_data(priv13002, 9, 1000);
    priv_data(priv21008, -9, 400);
    return {
        {M(29001).u32(3735928559u), "SC_Message29001(3735928559)"},
        {M(29002), "SC_Message29002()"},
        {M(14011).u32(70000), "SC_Message14011(70000)"},
        {M(14012).u16(3).i16(-1).i16(2).i16(300), "SC_Message14012([-1,2,300])"},
        {M(14013).u32(5).i16(-6), "SC_Message14013(5,-6)"},
        {M(12002).i16(5).text("hello"), "SC_Chat(5,\"hello\")"},
        {M(12003).i16(9).movement(1.5f, -2.0f, 90.0f, 3.25f).i16(4).u32(123456),
         "SC_AvatarMove(9,dr(1.5,-2,90,3.25),4,123456)"},
        {M(12004).i16(7).i16(-2).u32(99), "SC_Message12004(7,-2,99)"},
        {M(12005).i16(300).i16(-300), "SC_Message12005(300,-300)"},
        {M(12006).u32(4000000000u).i16(8).u8(250), "SC_Message12006(4000000000,8,250)"},
        {M(12012).u16(2).u32(10).u32(20).u16(1).i16(-30).u16(3).u8(1).u8(2).u8(255),
         "SC_AttackResult([10,20],[-30],[1,2,255])"},
        {M(12008).i16(12), "SC_Message12008(12)"},
        {M(12007).u32(1).u32(2).i16(3).u32(4), "SC_Message12007(1,2,3,4)"},
        {M(15003).u32(150).i16(-3), "SC_Message15003(150,-3)"},
        {M(12009).u32(129), "SC_Message12009(129)"},
        {M(16015).u32(77).text("psst"), "SC_Wisper_Chat(77,\"psst\")"},
        {M(16016).u32(78).text("nick").text("hi there"),
         "SC_Wisper_Chat_Wide(78,\"nick\",\"hi there\")"},
        {M(29003).u8(200), "SC_Message29003(200)"},
        {priv13002, "SC_PrivData(priv(9,6.5,42,123456,7654321,1000))"},
        {M(13006).u32(136), "SC_Message13006(136)"},
        {M(13003).u8(3).i16(-133), "SC_Message13003(3,-133)"},
        {M(13004).i16(1).i16(2).u32(3).i16(4).u32(5).u32(6).u32(7).u32(8).u32(9).u32(10),
         "SC_Message13004(1,2,3,4,5,6,7,8,9,10)"},
        {M(13005).u32(11).u32(12).u32(13), "SC_Message13005(11,12,13)"},
        {M(13008).i16(-8).u32(1308), "SC_Message13008(-8,1308)"},
        {M(13010).i16(-10).u32(1310), "SC_Message13010(-10,1310)"},
        {M(15002).u32(15).movement(-1.0f, 2.5f, -45.0f, 0.5f).i16(16).u32(17),
         "SC_Message15002(15,dr(-1,2.5,-45,0.5),16,17)"},
        {M(18001).u8(18).text("notice"), "SC_Message18001(18,\"notice\")"},
        {M(19001).i16(19), "SC_Message19001(19)"},
        {M(17002).i16(1).i16(-2).i16(3).u32(4).u32(5).u32(6), "SC_Message17002(1,-2,3,4,5,6)"},
        {M(16007).u32(1).i16(2).i16(3).u32(4), "SC_Message16007(1,2,3,4)"},
        {M(16008).i16(-1).u32(2), "SC_Message16008(-1,2)"},
        {M(16026).u32(26).u32(62), "SC_Message16026(26,62)"},
        {M(16010).i16(1610), "SC_Message16010(1610)"},
        {M(16014).i16(1614), "SC_Message16014(1614)"},
        {M(16025).i16(25).u32(52), "SC_Message16025(25,52)"},
        {M(16018).i16(1618), "SC_Message16018(1618)"},
        {M(16023).i16(23).u32(32), "SC_Message16023(23,32)"},
        {M(16019).i16(1619), "SC_Message16019(1619)"},
        {M(17003).i16(17).i16(3), "SC_Message17003(17,3)"},
        {M(13007).i16(13).u32(7), "SC_Message13007(13,7)"},
        {M(16006).i16(1606), "SC_Message16006(1606)"},
        {M(16013).vec(10.5f, -20.25f), "SC_Message16013(v(10.5,-20.25))"},
        {M(50002).u32(502).i16(-502), "SC_Message50002(502,-502)"},
        {M(50003).u32(503), "SC_Message50003(503)"},
        {M(50004).u32(504).i16(-504), "SC_Message50004(504,-504)"},
        {M(60001).i16(601).vec(6.0f, 1.0f), "SC_Message60001(601,v(6,1))"},
        {M(60002).i16(-602), "SC_Message60002(-602)"},
        {M(21003).i16(213).vec(2.0f, 3.0f), "SC_Message21003(213,v(2,3))"},
        {M(21004).u32(214).u8(4), "SC_Message21004(214,4)"},
        {M(21006), "SC_Message21006()"},
        {M(21007).u32(217), "SC_Message21007(217)"},
        {priv21008, "SC_Message21008(priv(-9,6.5,42,123456,7654321,400))"},
    };
}

// The game records in their wire forms; the expected text of each is given
// beside its use.
ServerMessage& avatar(ServerMessage& m, uint32_t id, const std::string& nickname,
                      const std::vector<uint32_t>& appearance) {
    m.i16(7).u32(id).i16(-1).i16(2).i16(301).movement(5.0f, 6.0f, 180.0f, 1.5f).i16(12);
    m.text(nickname).u8(1).i16(static_cast<int16_t>(appearance.size()));
    for (uint32_t value : appearance)
        m.u32(value);
    return m;
}
ServerMessage& monster(ServerMessage& m, uint32_t id, float hp) {
    return m.u32(id).i16(4).i16(55).movement(-5.0f, 7.0f, 30.0f, 2.0f).i16(3).f32(hp);
}
ServerMessage& world_item(ServerMessage& m, uint32_t id, uint32_t item) {
    return m.u32(id).i16(8).movement(1.0f, 1.0f, 0.0f, 0.0f).u32(item).u32(12).i16(2);
}
ServerMessage& item(ServerMessage& m, int16_t index, uint32_t id) {
    return m.i16(1).i16(index).u32(id).i16(3).i16(-4).u32(99);
}
ServerMessage& skill(ServerMessage& m, int16_t index, uint32_t id) {
    return m.i16(index).u32(id).u32(500).i16(-6);
}

std::vector<Case> record_cases() {
    typedef ServerMessage M;
    const std::string a1 = "avatar(7,101,-1,2,301,dr(5,6,180,1.5),12,\"Kim\",t,{1 2 3})";
    const std::string a2 = "avatar(7,102,-1,2,301,dr(5,6,180,1.5),12,\"\",t,{})";
    const std::string m1 = "monster(201,4,55,dr(-5,7,30,2),3,87.5)";
    const std::string m2 = "monster(202,4,55,dr(-5,7,30,2),3,-1)";
    const std::string w1 = "witem(301,8,dr(1,1,0,0),9001,12,2)";
    const std::string i1 = "item(1,2001,70001,3,-4,99)";
    const std::string i2 = "item(1,3002,70002,3,-4,99)";
    const std::string k1 = "skill(100,80001,500,-6)";
    const std::string k2 = "skill(200,80002,500,-6)";
    std::vector<std::pair<M, std::string>> cases;
    auto add = [&cases](M message, const std::string& expected) {
        cases.emplace_back(message, expected);
    };
    M m(14002);
    avatar(avatar(m.u16(2), 101, "Kim", {1, 2, 3}), 102, "", {});
    add(m, "SC_AvatarList([" + a1 + "," + a2 + "])");
    m = M(14003);
    world_item(m.u16(1), 301, 9001);
    monster(monster(m.u16(2), 201, 87.5f), 202, -1.0f);
    add(m.u16(3), "SC_ObjectLists([" + w1 + "],[" + m1 + "," + m2 + "],[npc4,npc4,npc4])");
    m = M(14004);
    add(world_item(m.u16(1), 301, 9001), "SC_WorldItemList([" + w1 + "])");
    m = M(14005);
    add(monster(m.u16(1), 201, 87.5f), "SC_MonsterList([" + m1 + "])");
    add(M(14006).u16(3), "SC_NPCList([npc4,npc4,npc4])");
    m = M(14007);
    add(avatar(m, 101, "Kim", {1, 2, 3}), "SC_Avatar(" + a1 + ")");
    m = M(14008);
    add(world_item(m, 301, 9001), "SC_WorldItem(" + w1 + ")");
    m = M(14009);
    add(monster(m, 202, -1.0f), "SC_Monster(" + m2 + ")");
    add(M(14010), "SC_NPC(npc4)");
    m = M(20001);
    add(world_item(m, 301, 9001).u32(2001), "SC_Message20001(" + w1 + ",2001)");
    m = M(16009);
    add(item(m.u32(169), 2001, 70001), "SC_Message16009(169," + i1 + ")");
    m = M(16017);
    add(skill(m.u32(1617), 100, 80001), "SC_Message16017(1617," + k1 + ")");
    m = M(16022);
    add(skill(m, 200, 80002).u32(1622), "SC_Message16022(" + k2 + ",1622)");
    add(M(508).u16(2).i16(1).i16(-2).i16(300).i16(4), "SC_GSList([gs(1,-2),gs(300,4)])");
    for (uint16_t number : {50001, 50005}) {
        m = M(number);
        skill(skill(item(m.u32(number).u16(1), 2001, 70001).u16(2), 100, 80001), 200, 80002);
        add(m.u32(number + 1), "SC_Message" + std::to_string(number) + "(" +
                                   std::to_string(number) + ",[" + i1 + "],[" + k1 + "," + k2 +
                                   "]," + std::to_string(number + 1) + ")");
    }
    m = M(16020);
    add(avatar(m, 102, "", {}), "SC_Message16020(" + a2 + ")");
    m = M(16021);
    priv_data(avatar(m, 101, "Kim", {1, 2, 3}), 5, 600);
    item(item(m.u16(2), 2001, 70001), 3002, 70002);
    skill(m.u16(1), 100, 80001);
    add(m, "SC_Message16021(" + a1 + ",priv(5,6.5,42,123456,7654321,600),[" + i1 + "," + i2 +
               "],[" + k1 + "])");
    m = M(21009);
    add(skill(m, 100, 80001), "SC_Message21009(" + k1 + ")");
    m = M(21010);
    add(item(m, 2001, 70001), "SC_Message21010(" + i1 + ")");
    std::vector<Case> result;
    for (auto& c : cases)
        result.push_back({c.first, c.second});
    return result;
}

TEST_F(Dispatch, EachMessageReachesItsCallbackWithItsFields) {
    for (const Case& c : plain_cases()) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(one_call(c.message), c.expected);
    }
}

TEST_F(Dispatch, RecordMessagesCarryTheirRecordsInWireOrder) {
    for (const Case& c : record_cases()) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(one_call(c.message), c.expected);
    }
}

// Every number from 0 to 65535 as a bare header: exactly the catalogue
// reaches the stub, one callback each; everything else only warns.
TEST_F(Dispatch, ExactlyTheCatalogueNumbersReachTheStub) {
    const std::set<unsigned> catalogue = {
        508,   12002, 12003, 12004, 12005, 12006, 12007, 12008, 12009, 12012, 13002, 13003,
        13004, 13005, 13006, 13007, 13008, 13010, 14002, 14003, 14004, 14005, 14006, 14007,
        14008, 14009, 14010, 14011, 14012, 14013, 15002, 15003, 16006, 16007, 16008, 16009,
        16010, 16013, 16014, 16015, 16016, 16017, 16018, 16019, 16020, 16021, 16022, 16023,
        16025, 16026, 17002, 17003, 18001, 19001, 20001, 21003, 21004, 21006, 21007, 21008,
        21009, 21010, 29001, 29002, 29003, 50001, 50002, 50003, 50004, 50005, 60001, 60002};
    ASSERT_EQ(catalogue.size(), 72u);
    std::set<unsigned> reached;
    for (unsigned number = 0; number <= 0xFFFF; ++number) {
        const size_t calls = dispatch(ServerMessage(static_cast<uint16_t>(number))).size();
        if (calls > 0)
            reached.insert(number);
        EXPECT_LE(calls, 1u) << number;
    }
    EXPECT_EQ(reached, catalogue);
}

TEST_F(Dispatch, NumbersWithoutCallbackOnlyWarn) {
    for (uint16_t number : {12011, 13009, 16011, 16012, 40000, 0, 14001, 14014, 10001, 10009, 16005,
                            16027, 21000, 21012, 29004, 50006, 60003}) {
        SCOPED_TRACE(number);
        EXPECT_TRUE(dispatch(ServerMessage(number).u32(1).u32(2)).empty());
    }
    EXPECT_EQ(quill_test::read_network_log(), "");
}

TEST_F(Dispatch, NetTimeGoesToTheEndpoint) {
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force(&clock);
    EXPECT_TRUE(dispatch(ServerMessage(10005).u32(5000).u32(37)).empty());
    EXPECT_EQ(client.GetLatency(), 37u);
    EXPECT_EQ(client.GetNetTime(), clock.tick_count());
}

TEST_F(Dispatch, TextsKeepTheirFirstBytesAndSkipTheRest) {
    const std::string chat(250, 'c');
    EXPECT_EQ(one_call(ServerMessage(12002).i16(1).text(chat)),
              "SC_Chat(1,\"" + chat.substr(0, 200) + "\")");
    const std::string exact(200, 'e');
    EXPECT_EQ(one_call(ServerMessage(12002).i16(2).text(exact)), "SC_Chat(2,\"" + exact + "\")");
    EXPECT_EQ(one_call(ServerMessage(12002).i16(3).text("")), "SC_Chat(3,\"\")");
    // The nickname is cut to 20; the text after it is still read from its
    // own start.
    EXPECT_EQ(one_call(ServerMessage(16016).u32(4).text("abcdefghijklmnopqrstuvwxy").text("ok")),
              "SC_Wisper_Chat_Wide(4,\"abcdefghijklmnopqrst\",\"ok\")");
}

TEST_F(Dispatch, TextCutShortByTheEndOfThePacketKeepsWhatArrived) {
    ServerMessage message(16015);
    message.u32(5).u16(100);
    const uint8_t tail[] = {'h' ^ 0x6B, 'e', 'l', 'l', 'o' ^ 0x6B}; // one chunk of 100
    ServerMessage whole = message;
    std::vector<uint8_t> bytes = whole.bytes();
    bytes.insert(bytes.end(), tail, tail + sizeof tail);
    bytes[2] = static_cast<uint8_t>(bytes.size());
    CNTPacket packet;
    packet.Write(bytes.data(), static_cast<unsigned short>(bytes.size()));
    packet.SetBufPoint(0);
    client.ProcessPacketFromServer(packet);
    ASSERT_EQ(stub.sink.calls.size(), 1u);
    EXPECT_EQ(stub.sink.calls[0], "SC_Wisper_Chat(5,\"hello\")");
}

TEST_F(Dispatch, FieldsPastTheEndOfAShortMessageAreZero) {
    EXPECT_EQ(one_call(ServerMessage(12004).i16(7)), "SC_Message12004(7,0,0)");
    EXPECT_EQ(one_call(ServerMessage(13004).i16(1).i16(2).u32(3)),
              "SC_Message13004(1,2,3,0,0,0,0,0,0,0)");
    EXPECT_EQ(one_call(ServerMessage(12002)), "SC_Chat(0,\"\")");
    EXPECT_EQ(one_call(ServerMessage(60001)), "SC_Message60001(0,v(0,0))");
    EXPECT_EQ(one_call(ServerMessage(14012)), "SC_Message14012([])");
    // Bytes after the last field are ignored.
    EXPECT_EQ(one_call(ServerMessage(12008).i16(12).u32(99).u32(98)), "SC_Message12008(12)");
}

TEST_F(Dispatch, ListCountsNoPacketCanCarryDropTheMessage) {
    EXPECT_TRUE(dispatch(ServerMessage(14012).u16(32768)).empty());
    EXPECT_TRUE(dispatch(ServerMessage(14012).u16(65535).i16(1)).empty());
    EXPECT_TRUE(dispatch(ServerMessage(14006).u16(32768)).empty());
    const std::string log = quill_test::read_network_log();
    EXPECT_NE(log.find("Warnning!!! Message Type 14012 dropped: list count 32768, 0 bytes left"),
              std::string::npos)
        << log;
    // The largest count allowed is taken, though nothing follows it.
    EXPECT_EQ(dispatch(ServerMessage(14006).u16(32767)).size(), 1u);
}

TEST_F(Dispatch, ListsLongerThanTheirMessageStillReachTheirCallback) {
    // Four values promised, three and a half there (a field cut short keeps
    // the byte that arrived), then one more promised than there is.
    EXPECT_EQ(one_call(ServerMessage(14012).u16(4).i16(1).i16(2).i16(3).u8(4)),
              "SC_Message14012([1,2,3,4])");
    EXPECT_EQ(one_call(ServerMessage(14012).u16(3).i16(1).i16(2)), "SC_Message14012([1,2,0])");
    // The third list of the attack results claims one byte too many.
    EXPECT_EQ(one_call(ServerMessage(12012).u16(1).u32(1).u16(1).i16(2).u16(3).u8(1).u8(2)),
              "SC_AttackResult([1],[2],[1,2,0])");
    EXPECT_EQ(one_call(ServerMessage(14006).u16(2)), "SC_NPCList([npc4,npc4])");
}

TEST_F(Dispatch, RecordsBeyondTheEndOfAShortMessageKeepTheirDefaults) {
    ServerMessage one_avatar(14002);
    avatar(one_avatar.u16(1), 101, "Kim", {});
    const std::string kim = one_call(one_avatar); // "SC_AvatarList([avatar(...)])"
    ServerMessage two_promised(14002);
    avatar(two_promised.u16(2), 101, "Kim", {});
    TAvatar fresh;
    EXPECT_EQ(one_call(two_promised), kim.substr(0, kim.size() - 2) + "," + show(fresh) + "])");
}

TEST_F(Dispatch, ListsReserveTheirUsualRoom) {
    const struct {
        ServerMessage message;
        std::vector<size_t> room;
    } cases[] = {
        {ServerMessage(14012).u16(1).i16(1), {5}},
        {ServerMessage(12012), {50, 50, 50}},
        {ServerMessage(14002), {60}},
        {ServerMessage(14003), {100, 100, 100}},
        {ServerMessage(50001), {100, 100}},
        {ServerMessage(50005), {100, 100}},
        {ServerMessage(16021), {300, 100}},
    };
    for (const auto& c : cases) {
        stub.sink.capacities.clear();
        one_call(c.message);
        ASSERT_EQ(stub.sink.capacities.size(), c.room.size());
        for (size_t i = 0; i < c.room.size(); ++i)
            EXPECT_GE(stub.sink.capacities[i], c.room[i]) << i;
    }
}

// A reply goes into the pending record with its sequence number, cursor
// after that number; no callback.
TEST_F(Dispatch, RepliesGoToTheirPendingRecord) {
    CNTProxy proxy;
    client.Attach(&proxy);
    for (uint16_t number :
         {10002, 10003, 10004, 10006, 10007, 10008, 12010, 16024, 21001, 21002, 21005, 21011}) {
        SCOPED_TRACE(number);
        CNestedReply* reply = proxy.PreNestedRequestReply();
        ASSERT_NE(reply, nullptr);
        EXPECT_TRUE(dispatch(ServerMessage(number).u16(reply->GetSequence()).u32(number)).empty());
        ASSERT_TRUE(proxy.WaitForNestedRequestReply(reply));
        unsigned long field = 0;
        reply->GetReplyPacket() >> field;
        EXPECT_EQ(field, number);
        proxy.ReleaseNestedReply(reply);
    }
}

TEST_F(Dispatch, ReplyWithAnUnknownSequenceNumberIsDropped) {
    CNTProxy proxy;
    client.Attach(&proxy);
    CNestedReply* reply = proxy.PreNestedRequestReply();
    ASSERT_NE(reply, nullptr);
    EXPECT_TRUE(dispatch(ServerMessage(10002).u16(reply->GetSequence() + 1).u32(1)).empty());
    EXPECT_FALSE(reply->WaitReply(0));
    EXPECT_EQ(proxy.GetNestedReplyCount(), 1u);
    // Without a proxy a reply has nowhere to go.
    TestClient bare;
    bare.Attach(&stub);
    CNTPacket packet = ServerMessage(10002).u16(1).packet();
    EXPECT_EQ(bare.ProcessPacketFromServer(packet), 0u);
    EXPECT_TRUE(stub.sink.calls.empty());
    proxy.ReleaseNestedReply(reply);
}

TEST_F(Dispatch, WithoutAStubNothingIsCalled) {
    TestClient bare;
    CNTPacket packet = ServerMessage(12002).i16(1).text("x").packet();
    EXPECT_EQ(bare.ProcessPacketFromServer(packet), 0u);
    EXPECT_TRUE(stub.sink.calls.empty());
}

} // namespace
