// The client-to-server calls against a game server on loopback: the exact
// bytes of every request, and the nested request/reply over a real
// connection with its receive thread.
#include "protocol/CNTProxy_CLToGS.h"

#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "protocol/CNestedReply.h"
#include "quill/platform/clock.h"
#include "support/game_server_peer.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"

using quill_test::Bytes;
using quill_test::client_packet;
using quill_test::f32;
using quill_test::field_u16;
using quill_test::GameServerPeer;
using quill_test::i16;
using quill_test::i32;
using quill_test::server_packet;
using quill_test::text;
using quill_test::u16;
using quill_test::u32;
using quill_test::u8;

namespace {

unsigned short message_of(const Bytes& packet) {
    return packet.size() < 2 ? 0 : static_cast<unsigned short>(packet[0] | (packet[1] << 8));
}

// The requests that wait for a reply, and where their sequence number stands.
bool waits_for_reply(unsigned short message) {
    switch (message) {
    case 1002: case 1003: case 1004: case 1005: case 1006: case 1012: case 1015:
    case 2021: case 9001: case 9002: case 9006: case 9011:
        return true;
    default:
        return false;
    }
}

unsigned short sequence_of(const Bytes& request) {
    return field_u16(request, message_of(request) == 1015 ? 5 : 4);
}

// A client endpoint with a minimal dispatcher of its own: the reply numbers
// go to the proxy by sequence number, anything else to a hook.
class ReplyClient : public CNTBaseClient {
public:
    std::atomic<int> lost{0};
    std::function<void(unsigned short message)> on_message;

    void ProcessConnectionLost() override { ++lost; }

    unsigned long ProcessPacketFromServer(CNTPacket& packet) override {
        unsigned short message = 0, length = 0;
        packet >> message >> length;
        if (message >= 10002 && message <= 10008 && message != 10005) {
            unsigned short sequence = 0;
            packet >> sequence;
            GetProxy()->DeliverNestedReply(sequence, packet);
        } else if (on_message) {
            on_message(message);
        }
        return 0;
    }
};

class Calls : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;
    GameServerPeer server;
    CNTProxy_CLToGS proxy; // outlives the client's receive thread
    ReplyClient client;

    void SetUp() override {
        client.Attach(&proxy);
        ASSERT_TRUE(client.Startup());
        client.SetServerAddr("127.0.0.1");
        client.SetServerPort(server.port());
        ASSERT_TRUE(client.ConnectToServer());
        ASSERT_TRUE(server.accept());
    }
    void TearDown() override {
        client.Disconnect();
        server.stop_serving();
    }

    // Answers every request that waits with the given reply fields after
    // the sequence number.
    void answer_with(std::vector<Bytes> fields, unsigned short reply_message = 10002) {
        server.serve([fields, reply_message](const Bytes& request) {
            if (!waits_for_reply(message_of(request)))
                return Bytes();
            std::vector<Bytes> all{u16(sequence_of(request))};
            all.insert(all.end(), fields.begin(), fields.end());
            return server_packet(reply_message, all);
        });
    }

    // What CS_TryOnSession left: its outcome and out parameters. The skills
    // list holds stale records and the result a stale value before the
    // call, to show what the reply replaced.
    struct TryOn {
        GS_RESULT outcome = GS_FAIL;
        std::vector<TItem> items;
        std::vector<TSkill> skills;
        unsigned long result = 0;
    };
    TryOn try_on_session(short avatar_index, size_t stale_skills, unsigned long stale_result) {
        TryOn got;
        got.skills.resize(stale_skills);
        got.result = stale_result;
        got.outcome = proxy.CS_TryOnSession(avatar_index, 0, got.items, got.skills, got.result);
        return got;
    }
};

// A clock whose UTC time stands at 12:00:07.250 and whose tick count is
// fixed, for the attack timestamp.
class AttackClock : public qp::Clock {
public:
    uint32_t tick_count() override { return 0x00ABCDEF; }
    void local_time(SYSTEMTIME* out) override { system_time(out); }
    void system_time(SYSTEMTIME* out) override {
        *out = SYSTEMTIME();
        out->wYear = 2026;
        out->wMonth = 12;
        out->wDay = 8;
        out->wHour = 12;
        out->wMinute = 0;
        out->wSecond = 7;
        out->wMilliseconds = 250;
    }
    void sleep(uint32_t) override {}
};

struct CallCase {
    const char* name;
    std::function<void(CNTProxy_CLToGS&)> call;
    // The request's bytes, given the sequence number the call will take.
    std::function<Bytes(unsigned short seq)> expected;
};

CDRVector sample_dr_vector() {
    CDRVector dr;
    dr.SetPos(CNTVector(1.5f, 77.0f, -2.25f));
    dr.SetAY(0.5f);
    dr.SetSpeed(3.0f);
    return dr;
}

TItem sample_item(short slot) {
    TItem item;
    item.SetAvatarIndex(1);
    item.SetItemIndex(slot);
    item.SetItemID(110001);
    item.SetItemOptionID(2);
    item.SetTempUUID(-7);
    item.SetItemCount(20);
    return item;
}

TSkill sample_skill() {
    TSkill skill;
    skill.SetSkillIndex(3);
    skill.SetSkillID(2004);
    skill.SetSkillExp(150);
    skill.SetTempUUID(9);
    return skill;
}

// An attack under AttackClock: the monster, then the clock's tick count and
// the second and millisecond of its UTC time.
CallCase attack_case(const char* name, unsigned short message,
                     GS_RESULT (CNTProxy_CLToGS::*attack)(unsigned long), unsigned long monster) {
    return {name,
            [attack, monster](CNTProxy_CLToGS& p) {
                AttackClock clock;
                quill_test::ClockInForce in_force(&clock);
                (p.*attack)(monster);
            },
            [message, monster](unsigned short) {
                return client_packet(message, {u32(monster), u32(0x00ABCDEF), u16(7), u16(250)});
            }};
}

// A skill call that takes its one slot index by reference: the index and
// nothing else.
CallCase slot_case(const char* name, unsigned short message,
                   GS_RESULT (CNTProxy_CLToGS::*call)(short&), short slot) {
    return {name,
            [call, slot](CNTProxy_CLToGS& p) {
                short index = slot;
                (p.*call)(index);
            },
            [message, slot](unsigned short) { return client_packet(message, {i16(slot)}); }};
}

std::vector<CallCase> call_cases() {
    unsigned long r = 0;
    static unsigned long result;
    static short zone;
    static long upgraded;
    static CNTVector position;
    static COLEDateTime date;
    (void)r;
    static std::vector<TAvatar> avatars;
    static std::vector<TPrivData> priv_data;
    static std::vector<TItem> items;
    static std::vector<TSkill> skills;
    static TAvatar avatar;
    static TPrivData one_priv_data;
    static TItem item;
    static unsigned short value;
    return {
        {"1002 CS_Logon",
         [](CNTProxy_CLToGS& p) {
             CString account("abc"), password("secret");
             p.CS_Logon(account, password, value, avatars, priv_data, result);
         },
         [](unsigned short s) {
             return client_packet(1002,
                                  {u16(s), u16(3), text("abc"), u16(6), text("secret")});
         }},
        {"1003 CS_CreateAvatar",
         [](CNTProxy_CLToGS& p) { CString n("Kim"); p.CS_CreateAvatar(2, n, 7, result); },
         [](unsigned short s) {
             return client_packet(1003, {u16(s), i16(2), u16(3), text("Kim"), i16(7)});
         }},
        {"1004 CS_DeleteAvatar", [](CNTProxy_CLToGS& p) { p.CS_DeleteAvatar(1, date, result); },
         [](unsigned short s) { return client_packet(1004, {u16(s), i16(1)}); }},
        {"1005 CS_CancelDeleteAvatar",
         [](CNTProxy_CLToGS& p) { p.CS_CancelDeleteAvatar(-1, result); },
         [](unsigned short s) { return client_packet(1005, {u16(s), i16(-1)}); }},
        {"1006 CS_TryOnSession",
         [](CNTProxy_CLToGS& p) { p.CS_TryOnSession(2, -1, items, skills, result); },
         [](unsigned short s) { return client_packet(1006, {u16(s), i16(2), i16(-1)}); }},
        {"1007 CS_EnterSession", [](CNTProxy_CLToGS& p) { p.CS_EnterSession(); },
         [](unsigned short) { return Bytes{0xEF, 0x03, 0x04, 0x00}; }},
        {"1008 CS_LeaveSession", [](CNTProxy_CLToGS& p) { p.CS_LeaveSession(); },
         [](unsigned short) { return Bytes{0xF0, 0x03, 0x04, 0x00}; }},
        {"1009 CS_BearAgain", [](CNTProxy_CLToGS& p) { p.CS_BearAgain(5); },
         [](unsigned short) { return Bytes{0xF1, 0x03, 0x06, 0x00, 0x05 ^ 0x6B, 0x00}; }},
        {"1011 CS_BearAndEnterSession", [](CNTProxy_CLToGS& p) { p.CS_BearAndEnterSession(); },
         [](unsigned short) { return client_packet(1011, {}); }},
        {"1012 CS_Warp_SessionIn",
         [](CNTProxy_CLToGS& p) {
             short a = 1, b = 2, c = 3, d = -4;
             p.CS_Warp_SessionIn(a, b, c, d, position, result);
         },
         [](unsigned short s) {
             return client_packet(1012, {u16(s), i16(1), i16(2), i16(3), i16(-4)});
         }},
        {"1013 CS_Warp_SessionIn_Free",
         [](CNTProxy_CLToGS& p) {
             CNTVector v(1.5f, 99.0f, -2.0f);
             p.CS_Warp_SessionIn_Free(9, v);
         },
         [](unsigned short) { return client_packet(1013, {i16(9), f32(1.5f), f32(-2.0f)}); }},
        {"1014 CS_Warp_SessionOut", [](CNTProxy_CLToGS& p) { p.CS_Warp_SessionOut(); },
         [](unsigned short) { return client_packet(1014, {}); }},
        {"1015 CS_Change_AvatarNickName",
         [](CNTProxy_CLToGS& p) {
             CWizCharString<20> n("Lee");
             p.CS_Change_AvatarNickName(n, result);
         },
         [](unsigned short s) {
             return client_packet(1015, {u8(1), u16(s), u16(3), text("Lee")});
         }},
        {"1016 CS_Error",
         [](CNTProxy_CLToGS& p) { CString t("oops"); p.CS_Error(t); },
         [](unsigned short) { return client_packet(1016, {u16(4), text("oops")}); }},
        {"2002 CS_Chat",
         [](CNTProxy_CLToGS& p) { CWizCharString<200> t("hello"); p.CS_Chat(t); },
         [](unsigned short) { return client_packet(2002, {u16(5), text("hello")}); }},
        {"2002 CS_Chat empty",
         [](CNTProxy_CLToGS& p) { CWizCharString<200> t; p.CS_Chat(t); },
         [](unsigned short) { return Bytes{0xD2, 0x07, 0x06, 0x00, 0x6B, 0x00}; }},
        {"2003 CS_AvatarMove",
         [](CNTProxy_CLToGS& p) {
             CDRVector dr = sample_dr_vector();
             p.CS_AvatarMove(dr, 0x1234, 0x01020304ul);
         },
         [](unsigned short) {
             return client_packet(2003, {f32(1.5f), f32(-2.25f), f32(0.5f), f32(3.0f),
                                         u16(0x1234), u32(0x01020304)});
         }},
        {"2004 CS_PutonItem", [](CNTProxy_CLToGS& p) { p.CS_PutonItem(3, 4); },
         [](unsigned short) { return client_packet(2004, {i16(3), i16(4)}); }},
        {"2005 CS_TakeoffItem", [](CNTProxy_CLToGS& p) { p.CS_TakeoffItem(4, 3); },
         [](unsigned short) { return client_packet(2005, {i16(4), i16(3)}); }},
        {"2006 CS_ChooseWeapon", [](CNTProxy_CLToGS& p) { p.CS_ChooseWeapon(1); },
         [](unsigned short) { return client_packet(2006, {i16(1)}); }},
        {"2007 CS_BuyItems", [](CNTProxy_CLToGS& p) { p.CS_BuyItems(100000, 2); },
         [](unsigned short) { return client_packet(2007, {i32(100000), i16(2)}); }},
        {"2008 CS_BuyItem", [](CNTProxy_CLToGS& p) { p.CS_BuyItem(-5, 1, 2); },
         [](unsigned short) { return client_packet(2008, {i32(-5), i16(1), i16(2)}); }},
        {"2009 CS_SellItem", [](CNTProxy_CLToGS& p) { p.CS_SellItem(12); },
         [](unsigned short) { return client_packet(2009, {i16(12)}); }},
        {"2010 CS_PickupItem", [](CNTProxy_CLToGS& p) { p.CS_PickupItem(0xDEADBEEFul); },
         [](unsigned short) {
             return Bytes{0xDA, 0x07, 0x08, 0x00, 0xEF ^ 0x6B, 0xBE, 0xAD, 0xDE};
         }},
        {"2011 CS_DropItem", [](CNTProxy_CLToGS& p) { p.CS_DropItem(13); },
         [](unsigned short) { return client_packet(2011, {i16(13)}); }},
        attack_case("2012 CS_Avatar_AttackMonster", 2012, &CNTProxy_CLToGS::CS_Avatar_AttackMonster,
                    77),
        {"2013 CS_ReLocateItemInInventory",
         [](CNTProxy_CLToGS& p) { p.CS_ReLocateItemInInventory(1, 2); },
         [](unsigned short) { return client_packet(2013, {i16(1), i16(2)}); }},
        {"2014 CS_Use_Item", [](CNTProxy_CLToGS& p) { p.CS_Use_Item(3); },
         [](unsigned short) { return client_packet(2014, {i16(3)}); }},
        {"2015 CS_Wisper_Chat",
         [](CNTProxy_CLToGS& p) { CWizCharString<200> t("hi"); p.CS_Wisper_Chat(42, t); },
         [](unsigned short) { return client_packet(2015, {u32(42), u16(2), text("hi")}); }},
        {"2016 CS_Wisper_Chat_Wide",
         [](CNTProxy_CLToGS& p) {
             CWizCharString<20> n("Park");
             CWizCharString<200> t("yo");
             p.CS_Wisper_Chat_Wide(n, t);
         },
         [](unsigned short) {
             return client_packet(2016, {u16(4), text("Park"), u16(2), text("yo")});
         }},
        {"2017 CS_Avatar_AttackArea",
         [](CNTProxy_CLToGS& p) {
             CNTVector v(3.0f, 0.0f, 4.0f);
             p.CS_Avatar_AttackArea(v);
         },
         [](unsigned short) { return client_packet(2017, {f32(3.0f), f32(4.0f)}); }},
        attack_case("2018 CS_Avatar_SkillAttackMonster", 2018,
                    &CNTProxy_CLToGS::CS_Avatar_SkillAttackMonster, 78),
        {"2019 CS_Avatar_Reload", [](CNTProxy_CLToGS& p) { p.CS_Avatar_Reload(); },
         [](unsigned short) { return client_packet(2019, {}); }},
        {"2020 CS_UpdateJewelryCollection",
         [](CNTProxy_CLToGS& p) { p.CS_UpdateJewelryCollection(6); },
         [](unsigned short) { return client_packet(2020, {i16(6)}); }},
        {"2021 CS_Request_ItemUpgrade",
         [](CNTProxy_CLToGS& p) {
             std::vector<short> materials{1, 2, -3};
             p.CS_Request_ItemUpgrade(7, 70000, materials, 8, 9, upgraded, result);
         },
         [](unsigned short s) {
             return client_packet(2021, {u16(s), i16(7), i32(70000), u16(3), i16(1), i16(2),
                                         i16(-3), i16(8), i16(9)});
         }},
        {"2021 CS_Request_ItemUpgrade without materials",
         [](CNTProxy_CLToGS& p) {
             std::vector<short> none;
             p.CS_Request_ItemUpgrade(7, 70000, none, 8, 9, upgraded, result);
         },
         [](unsigned short s) {
             return client_packet(2021, {u16(s), i16(7), i32(70000), u16(0), i16(8), i16(9)});
         }},
        {"2022 CS_RepairItem", [](CNTProxy_CLToGS& p) { p.CS_RepairItem(10); },
         [](unsigned short) { return client_packet(2022, {i16(10)}); }},
        {"2023 CS_ExchangeItemInInventory",
         [](CNTProxy_CLToGS& p) { p.CS_ExchangeItemInInventory(11, 12); },
         [](unsigned short) { return client_packet(2023, {i16(11), i16(12)}); }},
        {"3002 CS_UI_ResetKiSystem", [](CNTProxy_CLToGS& p) { p.CS_UI_ResetKiSystem(1, 2, 3); },
         [](unsigned short) { return client_packet(3002, {i16(1), i16(2), i16(3)}); }},
        {"3003 CS_IncParameter", [](CNTProxy_CLToGS& p) { p.CS_IncParameter(4); },
         [](unsigned short) { return client_packet(3003, {i16(4)}); }},
        {"4001 CS_RequestBarter", [](CNTProxy_CLToGS& p) { p.CS_RequestBarter(1001); },
         [](unsigned short) { return client_packet(4001, {u32(1001)}); }},
        {"4002 CS_ResponseBarter", [](CNTProxy_CLToGS& p) { p.CS_ResponseBarter(1001, 1); },
         [](unsigned short) { return client_packet(4002, {u32(1001), i16(1)}); }},
        {"4003 CS_CancelBarter", [](CNTProxy_CLToGS& p) { p.CS_CancelBarter(1001); },
         [](unsigned short) { return client_packet(4003, {u32(1001)}); }},
        {"4004 CS_Dealing",
         [](CNTProxy_CLToGS& p) {
             std::vector<TItem> offered{sample_item(1001), sample_item(1002)};
             std::vector<TSkill> taught{sample_skill()};
             p.CS_Dealing(1001, offered, taught, 5000);
         },
         [](unsigned short) {
             return client_packet(4004,
                                  {u32(1001), u16(2),
                                   i16(1), i16(1001), i32(110001), i16(2), i16(-7), i32(20),
                                   i16(1), i16(1002), i32(110001), i16(2), i16(-7), i32(20),
                                   u16(1), i16(3), i32(2004), i32(150), i16(9), i32(5000)});
         }},
        {"4004 CS_Dealing with nothing",
         [](CNTProxy_CLToGS& p) {
             std::vector<TItem> none;
             std::vector<TSkill> nothing;
             p.CS_Dealing(7, none, nothing, -1);
         },
         [](unsigned short) { return client_packet(4004, {u32(7), u16(0), u16(0), i32(-1)}); }},
        {"4005 CS_DealSign", [](CNTProxy_CLToGS& p) { p.CS_DealSign(1001); },
         [](unsigned short) { return client_packet(4005, {u32(1001)}); }},
        {"5001 CS_Request_Make_Party", [](CNTProxy_CLToGS& p) { p.CS_Request_Make_Party(55); },
         [](unsigned short) { return client_packet(5001, {u32(55)}); }},
        {"5002 CS_Response_Make_Party",
         [](CNTProxy_CLToGS& p) { p.CS_Response_Make_Party(55, true); },
         [](unsigned short) { return client_packet(5002, {u32(55), u8(1)}); }},
        {"5003 CS_Breakwith_Party", [](CNTProxy_CLToGS& p) { p.CS_Breakwith_Party(); },
         [](unsigned short) { return client_packet(5003, {}); }},
        {"5004 CS_Boss_Force_PartyMember_To_Breakwith_Party",
         [](CNTProxy_CLToGS& p) { p.CS_Boss_Force_PartyMember_To_Breakwith_Party("Choi"); },
         [](unsigned short) { return client_packet(5004, {u16(4), text("Choi")}); }},
        {"5005 CS_Boss_Entrust_PartyMember",
         [](CNTProxy_CLToGS& p) { p.CS_Boss_Entrust_PartyMember("Choi"); },
         [](unsigned short) { return client_packet(5005, {u16(4), text("Choi")}); }},
        {"6001 CS_ReLocateSkill",
         [](CNTProxy_CLToGS& p) {
             short a = 1, b = 2;
             p.CS_ReLocateSkill(a, b);
         },
         [](unsigned short) { return client_packet(6001, {i16(1), i16(2)}); }},
        slot_case("6002 CS_ChooseSkill", 6002, &CNTProxy_CLToGS::CS_ChooseSkill, 3),
        {"6003 CS_BuySkill",
         [](CNTProxy_CLToGS& p) {
             long id = 123456;
             short a = 1, b = 2;
             p.CS_BuySkill(id, a, b);
         },
         [](unsigned short) { return client_packet(6003, {i32(123456), i16(1), i16(2)}); }},
        slot_case("6004 CS_SellSkill", 6004, &CNTProxy_CLToGS::CS_SellSkill, 4),
        {"6005 CS_PickupSkill",
         [](CNTProxy_CLToGS& p) {
             unsigned long id = 0x0A0B0C0D;
             p.CS_PickupSkill(id);
         },
         [](unsigned short) { return client_packet(6005, {u32(0x0A0B0C0D)}); }},
        slot_case("6006 CS_DropSkill", 6006, &CNTProxy_CLToGS::CS_DropSkill, 5),
        {"9001 CS_GM_Move_To_Avatar",
         [](CNTProxy_CLToGS& p) { p.CS_GM_Move_To_Avatar("Kang", zone, position, result); },
         [](unsigned short s) { return client_packet(9001, {u16(s), u16(4), text("Kang")}); }},
        {"9002 CS_GM_Move_To_Position",
         [](CNTProxy_CLToGS& p) {
             p.CS_GM_Move_To_Position(3, CNTVector(10.0f, 0.0f, 20.0f), result);
         },
         [](unsigned short s) {
             return client_packet(9002, {u16(s), i16(3), f32(10.0f), f32(20.0f)});
         }},
        {"9003 CS_GM_Call_Avatar", [](CNTProxy_CLToGS& p) { p.CS_GM_Call_Avatar("Yoon"); },
         [](unsigned short) { return client_packet(9003, {u16(4), text("Yoon")}); }},
        {"9004 CS_GM_Transparent", [](CNTProxy_CLToGS& p) { p.CS_GM_Transparent(true); },
         [](unsigned short) { return client_packet(9004, {u8(1)}); }},
        {"9005 CS_GM_Prohibit_Avatar_Chatting",
         [](CNTProxy_CLToGS& p) { p.CS_GM_Prohibit_Avatar_Chatting("Yoon", 30); },
         [](unsigned short) { return client_packet(9005, {u16(4), text("Yoon"), i32(30)}); }},
        {"9006 CS_GM_Get_Avatar_Information",
         [](CNTProxy_CLToGS& p) {
             p.CS_GM_Get_Avatar_Information("Yoon", avatar, one_priv_data, result);
         },
         [](unsigned short s) { return client_packet(9006, {u16(s), u16(4), text("Yoon")}); }},
        {"9007 CS_GM_Purge_Avatar", [](CNTProxy_CLToGS& p) { p.CS_GM_Purge_Avatar("Yoon"); },
         [](unsigned short) { return client_packet(9007, {u16(4), text("Yoon")}); }},
        {"9008 CS_GM_Change_Level",
         [](CNTProxy_CLToGS& p) { p.CS_GM_Change_Level("Yoon", 50); },
         [](unsigned short) { return client_packet(9008, {u16(4), text("Yoon"), i16(50)}); }},
        {"9009 CS_GM_Give_Skill",
         [](CNTProxy_CLToGS& p) { p.CS_GM_Give_Skill("Yoon", 300, 2); },
         [](unsigned short) {
             return client_packet(9009, {u16(4), text("Yoon"), i32(300), i32(2)});
         }},
        {"9010 CS_GM_Give_Item",
         [](CNTProxy_CLToGS& p) { p.CS_GM_Give_Item("Yoon", 400, 3); },
         [](unsigned short) {
             return client_packet(9010, {u16(4), text("Yoon"), i32(400), i16(3)});
         }},
        {"9011 CS_GM_Steal_Item",
         [](CNTProxy_CLToGS& p) { p.CS_GM_Steal_Item("Yoon", 17, item, result); },
         [](unsigned short s) {
             return client_packet(9011, {u16(s), u16(4), text("Yoon"), i16(17)});
         }},
    };
}

TEST_F(Calls, EveryCallWritesExactlyItsBytes) {
    answer_with({});
    for (const CallCase& c : call_cases()) {
        const unsigned short sequence = proxy.GetNextSequence();
        const size_t before = server.requests().size();
        c.call(proxy);
        ASSERT_TRUE(server.wait_for_requests(before + 1)) << c.name;
        EXPECT_EQ(c.expected(sequence), server.requests()[before]) << c.name;
    }
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
}

TEST_F(Calls, CallWithoutReplyReturnsOkAtOnce) {
    answer_with({});
    CWizCharString<200> text_("hi");
    EXPECT_EQ(GS_OK, proxy.CS_Chat(text_));
    EXPECT_EQ(GS_OK, proxy.CS_EnterSession());
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
}

// ---- Nested request/reply over the connection ---------------------------

TEST_F(Calls, ReceiveThreadReleasesTheBlockedCallWithTheServersResult) {
    answer_with({u32(0x11223344)}, 10004);
    unsigned long result = 0;
    // The test's thread never dispatches: only the receive thread can.
    EXPECT_EQ(GS_OK, proxy.CS_CancelDeleteAvatar(2, result));
    EXPECT_EQ(0x11223344u, result);
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
}

TEST_F(Calls, ReplyFieldsLandInTheOutParametersInOrder) {
    server.serve([](const Bytes& request) {
        const unsigned short s = sequence_of(request);
        switch (message_of(request)) {
        case 1004: // date 2.5 (1 January 1900, noon), result
            return server_packet(10003, {u16(s), Bytes{0, 0, 0, 0, 0, 0, 4, 0x40}, u32(5)});
        case 1012: // position, result
            return server_packet(10006, {u16(s), f32(7.5f), f32(-1.0f), u32(6)});
        case 2021: // upgraded item id, result
            return server_packet(10007, {u16(s), i32(-70001), u32(7)});
        case 9001: // zone, position, result
            return server_packet(10008, {u16(s), i16(-3), f32(2.0f), f32(4.0f), u32(8)});
        default:
            return Bytes();
        }
    });
    unsigned long result = 0;
    COLEDateTime date;
    EXPECT_EQ(GS_OK, proxy.CS_DeleteAvatar(1, date, result));
    EXPECT_DOUBLE_EQ(2.5, static_cast<double>(date));
    EXPECT_EQ(5u, result);

    short a = 1, b = 2, c = 3, d = 4;
    CNTVector position(0.0f, 33.0f, 0.0f);
    EXPECT_EQ(GS_OK, proxy.CS_Warp_SessionIn(a, b, c, d, position, result));
    EXPECT_FLOAT_EQ(7.5f, position.x);
    EXPECT_FLOAT_EQ(33.0f, position.y); // not on the wire
    EXPECT_FLOAT_EQ(-1.0f, position.z);
    EXPECT_EQ(6u, result);
    EXPECT_EQ(1, a); // read, never written back

    std::vector<short> materials{4};
    long upgraded = 0;
    EXPECT_EQ(GS_OK, proxy.CS_Request_ItemUpgrade(1, 2, materials, 3, 4, upgraded, result));
    EXPECT_EQ(-70001, upgraded);
    EXPECT_EQ(7u, result);

    short zone = 0;
    EXPECT_EQ(GS_OK, proxy.CS_GM_Move_To_Avatar("Kang", zone, position, result));
    EXPECT_EQ(-3, zone);
    EXPECT_FLOAT_EQ(2.0f, position.x);
    EXPECT_FLOAT_EQ(4.0f, position.z);
    EXPECT_EQ(8u, result);
}

TEST_F(Calls, NumberBeyondTheEndOfAShortReplyReadsAsZero) {
    answer_with({}); // the sequence number and nothing else
    unsigned long result = 77;
    EXPECT_EQ(GS_OK, proxy.CS_CancelDeleteAvatar(2, result));
    EXPECT_EQ(0u, result);
    std::vector<short> none;
    long upgraded = 99;
    result = 77;
    EXPECT_EQ(GS_OK, proxy.CS_Request_ItemUpgrade(1, 2, none, 3, 4, upgraded, result));
    EXPECT_EQ(0, upgraded);
    EXPECT_EQ(0u, result);
}

TEST_F(Calls, AnyReplyNumberCompletesAnyCall) {
    answer_with({u32(9)}, 10008);
    unsigned long result = 0;
    CString nickname("Kim");
    EXPECT_EQ(GS_OK, proxy.CS_CreateAvatar(1, nickname, 2, result));
    EXPECT_EQ(9u, result);
}

TEST_F(Calls, TwoCallsOnTwoThreadsEachGetTheirOwnReplyWhenRepliesComeInReverse) {
    unsigned long first_result = 0, second_result = 0;
    GS_RESULT first = GS_FAIL, second = GS_FAIL;
    std::thread one([&] { first = proxy.CS_CancelDeleteAvatar(101, first_result); });
    const Bytes request_a = server.receive_packet();
    std::thread two([&] { second = proxy.CS_CancelDeleteAvatar(102, second_result); });
    const Bytes request_b = server.receive_packet();
    ASSERT_EQ(8u, request_a.size());
    ASSERT_EQ(8u, request_b.size());
    // Answer the later request first; each result carries its avatar index.
    for (const Bytes* request : {&request_b, &request_a}) {
        const unsigned index = field_u16(*request, 6);
        server.send(server_packet(10004, {u16(sequence_of(*request)), u32(1000 + index)}));
    }
    one.join();
    two.join();
    EXPECT_EQ(GS_OK, first);
    EXPECT_EQ(GS_OK, second);
    EXPECT_EQ(1101u, first_result);
    EXPECT_EQ(1102u, second_result);
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
}

TEST_F(Calls, ReplyWithAnUnknownSequenceNumberIsDroppedAndTheCallWaitsOn) {
    proxy.SetReplyWaitTime(3000);
    unsigned long result = 0;
    GS_RESULT outcome = GS_FAIL;
    std::thread caller([&] { outcome = proxy.CS_CancelDeleteAvatar(1, result); });
    const Bytes request = server.receive_packet();
    const unsigned short sequence = sequence_of(request);
    server.send(server_packet(10004, {u16(sequence + 500), u32(66)}));
    server.send(server_packet(10004, {u16(sequence), u32(55)}));
    caller.join();
    EXPECT_EQ(GS_OK, outcome);
    EXPECT_EQ(55u, result);
}

TEST_F(Calls, CallWithoutReplyTimesOutReturnsThreeAndDisconnects) {
    proxy.SetReplyWaitTime(150);
    server.serve([](const Bytes&) { return Bytes(); }); // never answers
    unsigned long result = 0;
    std::vector<short> none;
    long upgraded = 12;
    EXPECT_EQ(GS_FAIL, proxy.CS_Request_ItemUpgrade(1, 2, none, 3, 4, upgraded, result));
    EXPECT_EQ(3u, result);
    EXPECT_EQ(12, upgraded); // untouched
    EXPECT_FALSE(client.IsConnected());
    for (int i = 0; i < 200 && !server.client_closed(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(server.client_closed());
    // The library closed it, not the game: a loss, reported once.
    for (int i = 0; i < 200 && client.lost.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(1, client.lost.load());
    // No late reply can come over the closed connection: the record is gone,
    // and the receive thread of a next connection does not dispatch for it.
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
}

TEST_F(Calls, BlockingCallFromACallbackOnTheGameThreadTimesOutAndCloses) {
    proxy.SetReplyWaitTime(300);
    GS_RESULT outcome = GS_OK;
    unsigned long result = 0;
    std::atomic<bool> called{false};
    client.on_message = [&](unsigned short message) {
        if (message != 12002)
            return;
        outcome = proxy.CS_CancelDeleteAvatar(1, result);
        called = true;
    };
    ASSERT_TRUE(server.send(server_packet(12002, {i16(1), u16(2), text("hi")})));
    answer_with({u32(0)}, 10004); // answers at once; the reply cannot get through
    for (int i = 0; i < 300 && !called; ++i) {
        client.ProcessQueuedMessageFromServer(); // the game's per-frame pump
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(called);
    EXPECT_EQ(GS_FAIL, outcome);
    EXPECT_EQ(3u, result);
    ASSERT_TRUE(server.wait_for_requests(1));
    for (int i = 0; i < 200 && !server.client_closed(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(server.client_closed());
}

TEST_F(Calls, BlockingCallFromACallbackOnTheReceiveThreadTimesOutAndCloses) {
    proxy.SetReplyWaitTime(300);
    std::atomic<GS_RESULT> outcome{GS_OK};
    std::atomic<unsigned long> result{0};
    std::atomic<bool> called{false};
    client.SetDispatchInRecvThread(true);
    client.on_message = [&](unsigned short message) {
        if (message != 12002)
            return;
        unsigned long r = 0;
        outcome = proxy.CS_CancelDeleteAvatar(1, r);
        result = r;
        called = true;
    };
    answer_with({u32(0)}, 10004);
    // The chat reaches the callback on the receive thread, which then waits
    // for a reply that only it could deliver.
    ASSERT_TRUE(server.send(server_packet(12002, {i16(1), u16(2), text("hi")})));
    for (int i = 0; i < 300 && !called; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(called);
    EXPECT_EQ(GS_FAIL, outcome.load());
    EXPECT_EQ(3u, result.load());
    for (int i = 0; i < 200 && !server.client_closed(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(server.client_closed());
}

// ---- Replies that carry game records ---------------------------------------

Bytes f64(double value) {
    Bytes bytes(8);
    memcpy(bytes.data(), &value, 8);
    return bytes;
}

void append(std::vector<Bytes>& to, const std::vector<Bytes>& fields) {
    to.insert(to.end(), fields.begin(), fields.end());
}

// A TAvatar on the wire: session, id, zone, index, template, movement (x, z,
// heading, speed), animation, nickname, transparency, appearance.
std::vector<Bytes> avatar_fields(unsigned long id, short index, const std::string& nickname,
                                 std::vector<int32_t> appearance) {
    std::vector<Bytes> fields{i16(0),    u32(id),    i16(4),     i16(index), i16(index + 1),
                              f32(1.0f), f32(2.0f),  f32(0.25f), f32(3.0f),  i16(6),
                              u16(static_cast<unsigned>(nickname.size())),
                              text(nickname), u8(1),
                              i16(static_cast<int>(appearance.size()))};
    for (int32_t value : appearance)
        fields.push_back(i32(value));
    return fields;
}

// A TPrivData on the wire, with the given level and gold.
std::vector<Bytes> priv_data_fields(short level, int32_t gold) {
    std::vector<Bytes> fields{i16(3)};
    for (int i = 0; i < 6; ++i)
        fields.push_back(f32(10.0f + i));
    append(fields, {i16(1), i16(2), i16(3), f32(120.0f), f32(80.0f), f32(60.0f), i16(level),
                    i32(12345), i32(gold), i16(1), i16(4), f64(0.0), i16(0), i16(-1), i16(-1),
                    i16(2)});
    return fields;
}

TEST_F(Calls, LogonReadsTheValueTheAvatarsThePrivateDataAndTheResult) {
    server.serve([](const Bytes& request) {
        std::vector<Bytes> fields{u16(sequence_of(request)), u16(3), u16(2)};
        append(fields, avatar_fields(1001, 0, "Kim", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 110001}));
        append(fields, avatar_fields(1002, 1, "Lee", {}));
        append(fields, {u16(2)});
        append(fields, priv_data_fields(10, 500));
        append(fields, priv_data_fields(20, 700));
        append(fields, {u32(0)});
        return server_packet(10002, fields);
    });
    CString account("abc"), password("pw");
    unsigned short value = 0;
    std::vector<TAvatar> avatars(5); // replaced by the reply's two
    std::vector<TPrivData> priv_data;
    unsigned long result = 99;
    ASSERT_EQ(GS_OK, proxy.CS_Logon(account, password, value, avatars, priv_data, result));
    EXPECT_EQ(3, value);
    ASSERT_EQ(2u, avatars.size());
    EXPECT_EQ(1001u, avatars[0].GetID());
    EXPECT_STREQ("Kim", avatars[0].GetNickname());
    EXPECT_EQ(1, avatars[0].GetAvatarTemplateID());
    EXPECT_EQ(11, avatars[0].GetWeaponItemKind());
    EXPECT_EQ(1002u, avatars[1].GetID());
    EXPECT_EQ(1, avatars[1].GetAvatarIndex());
    EXPECT_TRUE(avatars[1].GetAppearance().empty());
    ASSERT_EQ(2u, priv_data.size());
    EXPECT_EQ(10, priv_data[0].GetLevel());
    EXPECT_EQ(700, priv_data[1].GetGold());
    EXPECT_EQ(0u, result);
}

TEST_F(Calls, LogonWithNoAvatarsEmptiesBothLists) {
    answer_with({u16(3), u16(0), u16(0), u32(0)});
    CString account("abc"), password("pw");
    unsigned short value = 0;
    std::vector<TAvatar> avatars(2);
    std::vector<TPrivData> priv_data(2);
    unsigned long result = 99;
    ASSERT_EQ(GS_OK, proxy.CS_Logon(account, password, value, avatars, priv_data, result));
    EXPECT_TRUE(avatars.empty());
    EXPECT_TRUE(priv_data.empty());
    EXPECT_EQ(0u, result);
}

TEST_F(Calls, ReplyListLongerThanItsBytesFailsWithResultThree) {
    CString account("abc"), password("pw");
    unsigned short value = 0;
    std::vector<TAvatar> avatars(1);
    std::vector<TPrivData> priv_data(1);
    unsigned long result = 0;

    // 32768 avatars: refused before any allocation.
    answer_with({u16(3), u16(32768), u32(0)});
    EXPECT_EQ(GS_FAIL, proxy.CS_Logon(account, password, value, avatars, priv_data, result));
    EXPECT_EQ(3u, result);
    EXPECT_EQ(1u, avatars.size());
    EXPECT_EQ(1u, priv_data.size());
}

TEST_F(Calls, ReplyCutShortStillReturnsOkWithWhatArrived) {
    // 1000 items promised; two are there, then the reply ends.
    answer_with({u16(1000), i16(1), i16(2), i32(3), i16(4), i16(5), i32(6), i16(7), i16(8),
                 i32(9), i16(10), i16(11), i32(12)});
    const TryOn got = try_on_session(0, 2, 77);
    EXPECT_EQ(GS_OK, got.outcome);
    ASSERT_EQ(1000u, got.items.size());
    EXPECT_EQ(3, got.items[0].GetItemID());
    EXPECT_EQ(9, got.items[1].GetItemID());
    EXPECT_EQ(0, got.items[2].GetItemID()) << "past the end: a default item";
    EXPECT_TRUE(got.skills.empty()) << "no count arrived for the skills: none";
    EXPECT_EQ(0u, proxy.GetNestedReplyCount());
    EXPECT_TRUE(client.IsConnected()); // a short reply is no time-out
}

TEST_F(Calls, TryOnSessionReadsItemsSkillsAndResult) {
    answer_with({u16(2), i16(1), i16(1001), i32(110001), i16(2), i16(-7), i32(20),
                 i16(1), i16(3000), i32(500001), i16(0), i16(8), i32(1),
                 u16(1), i16(3), i32(2004), i32(150), i16(9), u32(0)},
                10006);
    const TryOn got = try_on_session(1, 3, 9);
    ASSERT_EQ(GS_OK, got.outcome);
    ASSERT_EQ(2u, got.items.size());
    EXPECT_EQ(1001, got.items[0].GetItemIndex());
    EXPECT_EQ(110001, got.items[0].GetItemID());
    EXPECT_EQ(-7, got.items[0].GetTempUUID());
    EXPECT_EQ(3, got.items[1].GetItemSlotIndex());
    ASSERT_EQ(1u, got.skills.size());
    EXPECT_EQ(2004, got.skills[0].GetSkillID());
    EXPECT_EQ(150, got.skills[0].GetSkillExp());
    EXPECT_EQ(0u, got.result);
}

TEST_F(Calls, GameMasterQueriesReadTheirRecords) {
    server.serve([](const Bytes& request) {
        std::vector<Bytes> fields{u16(sequence_of(request))};
        if (message_of(request) == 9006) {
            append(fields, avatar_fields(42, 2, "Yoon", {7}));
            append(fields, priv_data_fields(33, 1));
            append(fields, {u32(0)});
        } else {
            append(fields, {i16(1), i16(17), i32(210003), i16(1), i16(5), i32(2), u32(4)});
        }
        return server_packet(10007, fields);
    });
    TAvatar avatar;
    TPrivData priv_data;
    unsigned long result = 9;
    ASSERT_EQ(GS_OK, proxy.CS_GM_Get_Avatar_Information("Yoon", avatar, priv_data, result));
    EXPECT_EQ(42u, avatar.GetID());
    EXPECT_STREQ("Yoon", avatar.GetNickname());
    EXPECT_EQ(33, priv_data.GetLevel());
    EXPECT_EQ(0u, result);

    TItem item;
    ASSERT_EQ(GS_OK, proxy.CS_GM_Steal_Item("Yoon", 17, item, result));
    EXPECT_EQ(17, item.GetItemIndex());
    EXPECT_EQ(210003, item.GetItemID());
    EXPECT_EQ(2, item.GetItemCount());
    EXPECT_EQ(4u, result);
}

TEST(CallsUnconnected, FailedSendLogsAndClosesButACallWithoutReplyStillReturnsOk) {
    quill_test::ScratchDir scratch;
    ReplyClient client;
    CNTProxy_CLToGS proxy;
    client.Attach(&proxy);
    ASSERT_TRUE(client.Startup());
    EXPECT_EQ(GS_OK, proxy.CS_EnterSession());
    EXPECT_NE(std::string::npos, quill_test::read_network_log().find("Send Error!!!"));
}

TEST(CallsUnconnected, CallWithReplyOnAFailedSendEndsByTimeOut) {
    quill_test::ScratchDir scratch;
    ReplyClient client;
    CNTProxy_CLToGS proxy;
    client.Attach(&proxy);
    proxy.SetReplyWaitTime(50);
    unsigned long result = 0;
    EXPECT_EQ(GS_FAIL, proxy.CS_CancelDeleteAvatar(1, result));
    EXPECT_EQ(3u, result);
}

} // namespace
