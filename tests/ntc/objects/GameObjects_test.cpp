#include "objects/GameObjects.h"
#include "transport/CNTPacket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/game_server_peer.h"
#include "support/packet_bytes.h"

namespace {

using quill_test::Bytes;
using quill_test::bytes_of;
using quill_test::f32;
using quill_test::received;
using quill_test::server_packet;
using quill_test::started;
using quill_test::text;
using quill_test::u16;
using quill_test::u32;
using quill_test::u8;

// The wire fields of a movement state: x, z, yaw, speed.
std::vector<Bytes> dr_fields(float x, float z, float yaw, float speed) {
    return {f32(x), f32(z), f32(yaw), f32(speed)};
}

std::vector<Bytes> joined(std::vector<std::vector<Bytes>> parts) {
    std::vector<Bytes> all;
    for (auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<Bytes> avatar_fields(const std::vector<uint32_t>& appearance, int count) {
    std::vector<Bytes> fields = joined({
        {u16(7), u32(0x01020304), u16(12), u16(2), u16(301)},
        dr_fields(10.5f, -3.0f, 90.0f, 4.0f),
        {u16(5), u16(4), text("Kim!"), u8(1), u16(static_cast<unsigned>(count))},
    });
    for (uint32_t value : appearance)
        fields.push_back(u32(value));
    return fields;
}

// --- Fresh objects, Init -------------------------------------------------

TEST(GameObjectsFresh, ZoneObjectsCarryTheirTypeAndNoZone) {
    TAvatar avatar;
    TMonster monster;
    TNPC npc;
    TWorldItem item;
    EXPECT_EQ(avatar.GetType(), 1u);
    EXPECT_EQ(item.GetType(), 2u);
    EXPECT_EQ(monster.GetType(), 3u);
    EXPECT_EQ(npc.GetType(), 4u);
    for (TObject* object : std::vector<TObject*>{&avatar, &monster, &npc, &item}) {
        EXPECT_EQ(object->GetCurZoneID(), -1);
        EXPECT_EQ(object->GetLastZoneID(), -1);
        EXPECT_EQ(object->GetJoinedSessionID(), 0);
        EXPECT_EQ(object->GetID(), 0u);
    }
    EXPECT_EQ(monster.GetMonHP(), 0.0f);
    EXPECT_FALSE(avatar.IsTransparent());
    EXPECT_TRUE(avatar.GetAppearance().empty());
}

TEST(GameObjectsFresh, InitResetsButKeepsWhatItMustKeep) {
    TAvatar avatar;
    avatar.SetID(9);
    avatar.SetType(77);
    avatar.SetCurZoneID(3);
    avatar.SetLastZoneID(2);
    avatar.SetJoinedSessionID(4);
    avatar.GetDRVector()->SetSpeed(6.0f);
    avatar.GetAppearance().assign(40, 5);
    CString name("someone");
    avatar.SetNickname(name);
    const size_t capacity = avatar.GetAppearance().capacity();
    avatar.Init();
    EXPECT_EQ(avatar.GetType(), 1u);
    EXPECT_EQ(avatar.GetID(), 0u);
    EXPECT_EQ(avatar.GetCurZoneID(), -1);
    EXPECT_EQ(avatar.GetLastZoneID(), -1);
    EXPECT_EQ(avatar.GetJoinedSessionID(), 0);
    EXPECT_TRUE(avatar.GetNickname().IsEmpty());
    EXPECT_TRUE(avatar.GetAppearance().empty());
    EXPECT_EQ(avatar.GetAppearance().capacity(), capacity);
    EXPECT_EQ(avatar.GetDRVector()->GetSpeed(), 6.0f); // movement is not reset

    TNPC npc;
    npc.SetNpcTemplateID(55);
    npc.SetType(1);
    npc.Init();
    EXPECT_EQ(npc.GetNpcTemplateID(), 55);
    EXPECT_EQ(npc.GetType(), 4u);

    TItem item;
    item.SetUserIndex(12);
    item.SetTempUUID(13);
    item.SetItemCount(14);
    item.SetItemUUID(CString("uuid"));
    item.Init();
    EXPECT_EQ(item.GetUserIndex(), 12);
    EXPECT_EQ(item.GetTempUUID(), 13);
    EXPECT_EQ(item.GetItemCount(), 0);
    EXPECT_TRUE(item.GetItemUUID().IsEmpty());

    TSkill skill;
    skill.SetUserIndex(12);
    skill.SetTempUUID(13);
    skill.SetSkillExp(14);
    skill.Init();
    EXPECT_EQ(skill.GetUserIndex(), 0);
    EXPECT_EQ(skill.GetTempUUID(), 13);
    EXPECT_EQ(skill.GetSkillExp(), 0);
}

TEST(GameObjectsFresh, SetJoinedSessionIDAlwaysSucceeds) {
    TAvatar avatar;
    EXPECT_TRUE(avatar.SetJoinedSessionID(-1));
    EXPECT_EQ(avatar.GetJoinedSessionID(), -1);
    EXPECT_TRUE(avatar.SetJoinedSessionID(32767));
}

// --- Copies ----------------------------------------------------------------

// An object whose every field differs from the fresh values.
template <typename T>
void mark_object_part(T& object, short session, unsigned long id, unsigned long type, short zone,
                      short last_zone) {
    object.SetJoinedSessionID(session);
    object.SetID(id);
    object.SetType(type);
    object.SetCurZoneID(zone);
    object.SetLastZoneID(last_zone);
    object.GetDRVector()->SetSpeed(static_cast<float>(id));
    object.GetDRVector()->SetDRState(DR_FOLLOW);
}

TEST(GameObjectsCopy, AvatarAssignmentKeepsTypeAndLastZone) {
    TAvatar source;
    mark_object_part(source, 5, 100, 41, 6, 7);
    CString nickname("src");
    source.SetNickname(nickname);
    source.GetAppearance() = {1, 2, 3};
    source.SetTransparentFlag(true);
    source.SetUserIndex(11);
    source.SetAvatarIndex(12);
    source.SetAvatarTemplateID(13);
    source.SetAniID(14);
    TAvatar target;
    mark_object_part(target, 1, 2, 3, 4, 8);
    target.GetDRVector()->SetDRState(DR_APPROACH);

    target = source;
    EXPECT_EQ(target.GetJoinedSessionID(), 5);
    EXPECT_EQ(target.GetID(), 100u);
    EXPECT_EQ(target.GetCurZoneID(), 6);
    EXPECT_EQ(target.GetType(), 3u);      // kept
    EXPECT_EQ(target.GetLastZoneID(), 8); // kept
    EXPECT_EQ(target.GetDRVector()->GetSpeed(), 100.0f);
    EXPECT_EQ(target.GetDRVector()->GetDRState(), DR_APPROACH); // a state is not assigned

    TAvatar copy(source);
    EXPECT_EQ(copy.GetType(), 41u);      // taken from the source
    EXPECT_EQ(copy.GetLastZoneID(), -1); // fresh
    EXPECT_EQ(copy.GetJoinedSessionID(), 5);
    EXPECT_EQ(copy.GetCurZoneID(), 6);
    EXPECT_EQ(copy.GetDRVector()->GetDRState(), DR_FOLLOW); // a copy takes the state

    // Every field of the avatar's own arrives in both.
    for (TAvatar* avatar : {&target, &copy}) {
        EXPECT_EQ(avatar->GetUserIndex(), 11);
        EXPECT_EQ(avatar->GetAvatarIndex(), 12);
        EXPECT_STREQ(static_cast<const char*>(avatar->GetNickname()), "src");
        EXPECT_EQ(avatar->GetAvatarTemplateID(), 13);
        EXPECT_EQ(avatar->GetAniID(), 14);
        EXPECT_TRUE(avatar->IsTransparent());
        EXPECT_EQ(avatar->GetAppearance(), (std::vector<long>{1, 2, 3}));
    }

    TAvatar& same = copy;
    copy = same;
    EXPECT_EQ(copy.GetAppearance(), (std::vector<long>{1, 2, 3}));
}

TEST(GameObjectsCopy, MonsterAndWorldItemLeaveSessionAndLastZone) {
    TMonster source;
    mark_object_part(source, 5, 100, 41, 6, 7);
    source.SetMonHP(12.5f);
    source.SetMonsterTemplateID(9);
    source.SetAniID(10);
    TMonster target;
    mark_object_part(target, 1, 2, 3, 4, 8);
    target = source;
    EXPECT_EQ(target.GetJoinedSessionID(), 1);
    EXPECT_EQ(target.GetType(), 3u);
    EXPECT_EQ(target.GetLastZoneID(), 8);
    TMonster copy(source);
    EXPECT_EQ(copy.GetJoinedSessionID(), 0);
    EXPECT_EQ(copy.GetType(), 41u);
    EXPECT_EQ(copy.GetLastZoneID(), -1);
    // The carried fields arrive in both.
    for (TMonster* monster : {&target, &copy}) {
        EXPECT_EQ(monster->GetCurZoneID(), 6);
        EXPECT_EQ(monster->GetID(), 100u);
        EXPECT_EQ(monster->GetMonHP(), 12.5f);
        EXPECT_EQ(monster->GetMonsterTemplateID(), 9);
        EXPECT_EQ(monster->GetAniID(), 10);
    }

    TWorldItem world;
    mark_object_part(world, 5, 100, 41, 6, 7);
    world.SetWorldItemUUID(CString("u-1"));
    world.SetWorldItemCount(33);
    world.SetWorldItemID(34);
    short option = 35;
    world.SetWorldItemOptionID(option);
    TWorldItem other;
    mark_object_part(other, 1, 2, 3, 4, 8);
    other = world;
    EXPECT_EQ(other.GetJoinedSessionID(), 1);
    EXPECT_EQ(other.GetLastZoneID(), 8);
    TWorldItem copied(world);
    EXPECT_EQ(copied.GetJoinedSessionID(), 0);
    EXPECT_EQ(copied.GetType(), 41u);
    for (TWorldItem* item : {&other, &copied}) {
        EXPECT_EQ(item->GetID(), 100u);
        EXPECT_EQ(item->GetCurZoneID(), 6);
        EXPECT_STREQ(static_cast<const char*>(item->GetWorldItemUUID()), "u-1");
        EXPECT_EQ(item->GetWorldItemExp(), 33);
        EXPECT_EQ(item->GetWorldItemID(), 34);
        EXPECT_EQ(item->GetWorldItemOptionID(), 35);
    }
}

TEST(GameObjectsCopy, NpcAssignmentCarriesOnlyIdAndMovement) {
    TNPC source;
    mark_object_part(source, 5, 100, 41, 6, 7);
    source.SetNpcTemplateID(77);
    TNPC target;
    mark_object_part(target, 1, 2, 3, 4, 8);
    target.SetNpcTemplateID(11);
    target = source;
    EXPECT_EQ(target.GetID(), 100u);
    EXPECT_EQ(target.GetDRVector()->GetSpeed(), 100.0f);
    EXPECT_EQ(target.GetNpcTemplateID(), 11);
    EXPECT_EQ(target.GetCurZoneID(), 4);
    EXPECT_EQ(target.GetLastZoneID(), 8);
    EXPECT_EQ(target.GetJoinedSessionID(), 1);
    EXPECT_EQ(target.GetType(), 3u);

    TNPC copy(source);
    EXPECT_EQ(copy.GetNpcTemplateID(), 77);
    EXPECT_EQ(copy.GetType(), 41u);
    EXPECT_EQ(copy.GetCurZoneID(), -1);
    EXPECT_EQ(copy.GetJoinedSessionID(), 0);
}

// --- Accessors with rules --------------------------------------------------

TEST(GameObjectsAccessors, AppearanceElementsCountFromOneAndNeverGrow) {
    TAvatar avatar;
    avatar.GetAppearance() = {11, 22, 33};
    EXPECT_EQ(avatar.GetAppearanceElement(1), 11);
    EXPECT_EQ(avatar.GetAppearanceElement(3), 33);
    EXPECT_EQ(avatar.GetAppearanceElement(0), 0);
    EXPECT_EQ(avatar.GetAppearanceElement(4), 0);
    EXPECT_EQ(avatar.GetAppearanceElement(-5), 0);
    avatar.SetAppearanceElement(4, 44);
    avatar.SetAppearanceElement(0, 44);
    avatar.SetAppearanceElement(2, 99);
    EXPECT_EQ(avatar.GetAppearance(), (std::vector<long>{11, 99, 33}));
    EXPECT_EQ(avatar.GetWeaponItemKind(), 0); // no 11th value

    avatar.GetAppearance().assign(11, 0);
    avatar.SetAppearanceElement(11, 234567);
    EXPECT_EQ(avatar.GetWeaponItemKind(), 23);
    avatar.SetAppearanceElement(11, -15000);
    EXPECT_EQ(avatar.GetWeaponItemKind(), -1);
    avatar.SetAppearanceElement(11, 9999);
    EXPECT_EQ(avatar.GetWeaponItemKind(), 0);
}

TEST(GameObjectsAccessors, ItemSlotIsTheThousandsTowardZero) {
    TItem item;
    const struct {
        short index;
        short slot;
    } cases[] = {{999, 0}, {1000, 1}, {2999, 2}, {3000, 3}, {32767, 32},
                 {-1500, -1}, {-999, 0}, {-32768, -32}, {0, 0}};
    for (const auto& c : cases) {
        item.SetItemIndex(c.index);
        EXPECT_EQ(item.GetItemSlotIndex(), c.slot) << c.index;
    }
    // Every 16-bit code agrees with the product the server's rule is
    // written as.
    for (int index = -32768; index <= 32767; ++index) {
        item.SetItemIndex(static_cast<short>(index));
        ASSERT_EQ(item.GetItemSlotIndex(), static_cast<short>(index * 0.001)) << index;
    }
}

TEST(GameObjectsAccessors, WorldItemExperienceAndCountAreOneField) {
    TWorldItem item;
    item.SetWorldItemExp(1234);
    EXPECT_EQ(item.GetWorldItemCount(), 1234);
    item.SetWorldItemCount(-7);
    EXPECT_EQ(item.GetWorldItemExp(), -7);
    short option = 12;
    item.SetWorldItemOptionID(option);
    EXPECT_EQ(item.GetWorldItemOptionID(), 12);
}

// --- Wire forms ------------------------------------------------------------

TEST(GameObjectsWire, AvatarIsReadInWireOrder) {
    CNTPacket packet = received(server_packet(14007, avatar_fields({5, 0xFFFFFFFE, 70000}, 3)));
    TAvatar avatar;
    avatar.SetType(99);
    avatar.SetLastZoneID(17);
    avatar.SetUserIndex(42);
    packet >> avatar;

    EXPECT_EQ(avatar.GetJoinedSessionID(), 7);
    EXPECT_EQ(avatar.GetID(), 0x01020304u);
    EXPECT_EQ(avatar.GetCurZoneID(), 12);
    EXPECT_EQ(avatar.GetAvatarIndex(), 2);
    EXPECT_EQ(avatar.GetAvatarTemplateID(), 301);
    EXPECT_EQ(avatar.GetDRVector()->GetPos().x, 10.5f);
    EXPECT_EQ(avatar.GetDRVector()->GetPos().z, -3.0f);
    EXPECT_EQ(avatar.GetDRVector()->GetAY(), 90.0f);
    EXPECT_EQ(avatar.GetDRVector()->GetSpeed(), 4.0f);
    EXPECT_EQ(avatar.GetAniID(), 5);
    EXPECT_STREQ(static_cast<const char*>(avatar.GetNickname()), "Kim!");
    EXPECT_TRUE(avatar.IsTransparent());
    // 32-bit values, sign-extended where long is wider.
    EXPECT_EQ(avatar.GetAppearance(), (std::vector<long>{5, -2, 70000}));
    // What does not travel keeps its value.
    EXPECT_EQ(avatar.GetType(), 99u);
    EXPECT_EQ(avatar.GetLastZoneID(), 17);
    EXPECT_EQ(avatar.GetUserIndex(), 42);
    EXPECT_EQ(packet.GetBufPoint(), packet.GetBufSize());
}

TEST(GameObjectsWire, AppearanceTakesExactlyTheCountRead) {
    TAvatar avatar;
    avatar.GetAppearance() = {9, 9, 9, 9, 9};
    CNTPacket three = received(server_packet(14007, avatar_fields({1, 2, 3}, 3)));
    three >> avatar;
    EXPECT_EQ(avatar.GetAppearance(), (std::vector<long>{1, 2, 3}));

    CNTPacket none = received(server_packet(14007, avatar_fields({}, 0)));
    none >> avatar;
    EXPECT_TRUE(avatar.GetAppearance().empty());

    // A negative count is none at all.
    avatar.GetAppearance() = {9, 9};
    CNTPacket negative = received(server_packet(14007, avatar_fields({1, 2}, 0xFFFF)));
    negative >> avatar;
    EXPECT_TRUE(avatar.GetAppearance().empty());

    // A count beyond what the message holds takes only the values present.
    CNTPacket forged = received(server_packet(14007, avatar_fields({4, 5}, 30000)));
    forged >> avatar;
    EXPECT_EQ(avatar.GetAppearance(), (std::vector<long>{4, 5}));
}

TEST(GameObjectsWire, MonsterHitPointsArriveBitForBit) {
    const uint32_t bits[] = {0x7FC00001u, 0x00000001u, 0xC2F60000u, 0x80000000u};
    for (uint32_t hp_bits : bits) {
        const std::vector<Bytes> fields =
            joined({{u32(55), u16(3), u16(1200)}, dr_fields(1, 2, 3, 4), {u16(8), u32(hp_bits)}});
        CNTPacket packet = received(server_packet(15000, fields));
        TMonster monster;
        packet >> monster;
        float hp = monster.GetMonHP();
        uint32_t read_bits;
        std::memcpy(&read_bits, &hp, 4);
        EXPECT_EQ(read_bits, hp_bits);
        EXPECT_EQ(monster.GetID(), 55u);
        EXPECT_EQ(monster.GetCurZoneID(), 3);
        EXPECT_EQ(monster.GetMonsterTemplateID(), 1200);
        EXPECT_EQ(monster.GetAniID(), 8);
        EXPECT_EQ(monster.GetType(), 3u);
        EXPECT_EQ(monster.GetJoinedSessionID(), 0);
        EXPECT_EQ(monster.GetLastZoneID(), -1);
    }
}

TEST(GameObjectsWire, NpcListIsOnlyACountAndWorldItemsReadInOrder) {
    // Three NPCs, then a world item: the NPCs take no bytes.
    const std::vector<Bytes> fields = joined(
        {{u16(3)}, {u32(0x80000001u), u16(0xFFFE)}, dr_fields(5, 6, 7, 8),
         {u32(12345), u32(0xFFFFFFFFu), u16(4)}});
    CNTPacket packet = received(server_packet(16000, fields));
    unsigned short count = 0;
    packet >> count;
    std::vector<TNPC> npcs(count);
    for (TNPC& npc : npcs)
        packet >> npc;
    EXPECT_EQ(packet.GetBufPoint(), 6);
    TWorldItem item;
    packet >> item;
    EXPECT_EQ(item.GetID(), 0x80000001u);
    EXPECT_EQ(item.GetCurZoneID(), -2);
    EXPECT_EQ(item.GetDRVector()->GetSpeed(), 8.0f);
    EXPECT_EQ(item.GetWorldItemID(), 12345);
    EXPECT_EQ(item.GetWorldItemCount(), -1);
    EXPECT_EQ(item.GetWorldItemOptionID(), 4);
    EXPECT_EQ(packet.GetBufPoint(), packet.GetBufSize());
}

TEST(GameObjectsWire, ItemAndSkillWriteTheirFieldsAndReadThemBack) {
    TItem item;
    item.SetUserIndex(1);
    item.SetItemUUID(CString("not sent"));
    item.SetAvatarIndex(2);
    item.SetItemIndex(3001);
    item.SetItemID(-2);
    item.SetItemOptionID(7);
    item.SetTempUUID(-9);
    item.SetItemCount(100000);
    TSkill skill;
    skill.SetUserIndex(1);
    skill.SetSkillIndex(4);
    skill.SetSkillID(0x12345678);
    skill.SetSkillExp(-300);
    skill.SetTempUUID(6);

    CNTPacket packet = started(4004);
    packet << item << skill;
    EXPECT_EQ(bytes_of(packet),
              server_packet(4004, {u16(2), u16(3001), u32(0xFFFFFFFEu), u16(7), u16(0xFFF7),
                                   u32(100000), u16(4), u32(0x12345678), u32(0xFFFFFED4u),
                                   u16(6)}));

    packet.SetBufPoint(CNTPacket::HEADER_SIZE);
    TItem item_in;
    item_in.SetUserIndex(77);
    item_in.SetItemUUID(CString("mine"));
    TSkill skill_in;
    skill_in.SetUserIndex(78);
    packet >> item_in >> skill_in;
    EXPECT_EQ(item_in.GetAvatarIndex(), 2);
    EXPECT_EQ(item_in.GetItemIndex(), 3001);
    EXPECT_EQ(item_in.GetItemID(), -2);
    EXPECT_EQ(item_in.GetItemOptionID(), 7);
    EXPECT_EQ(item_in.GetTempUUID(), -9);
    EXPECT_EQ(item_in.GetItemCount(), 100000);
    EXPECT_EQ(item_in.GetUserIndex(), 77);
    EXPECT_STREQ(static_cast<const char*>(item_in.GetItemUUID()), "mine");
    EXPECT_EQ(skill_in.GetSkillIndex(), 4);
    EXPECT_EQ(skill_in.GetSkillID(), 0x12345678);
    EXPECT_EQ(skill_in.GetSkillExp(), -300);
    EXPECT_EQ(skill_in.GetTempUUID(), 6);
    EXPECT_EQ(skill_in.GetUserIndex(), 78);
}

TEST(GameObjectsWire, PlainRecordsRoundTrip) {
    CPartyMember member;
    member.Value1 = -3;
    member.Value2 = 123; // never sent
    member.Text1 = "lead";
    member.Text2 = "";
    member.Value3 = 500;
    member.Flag = 1;
    sGS server = {21, -22};
    sAttackResult result = {0xDEADBEEFul, -5, 200};

    CNTPacket packet = started(5005);
    packet << member << server << result;
    EXPECT_EQ(bytes_of(packet),
              server_packet(5005, {u16(0xFFFD), u16(4), text("lead"), u16(0), u16(500), u8(1),
                                  u16(21), u16(0xFFEA), u32(0xDEADBEEFu), u16(0xFFFB), u8(200)}));

    packet.SetBufPoint(CNTPacket::HEADER_SIZE);
    CPartyMember member_in;
    sGS server_in = {};
    sAttackResult result_in = {};
    packet >> member_in >> server_in >> result_in;
    EXPECT_EQ(member_in.Value1, -3);
    EXPECT_EQ(member_in.Value2, 0);
    EXPECT_STREQ(static_cast<const char*>(member_in.Text1), "lead");
    EXPECT_TRUE(member_in.Text2.IsEmpty());
    EXPECT_EQ(member_in.Value3, 500);
    EXPECT_EQ(member_in.Flag, 1);
    EXPECT_EQ(server_in.Value1, 21);
    EXPECT_EQ(server_in.Value2, -22);
    EXPECT_EQ(result_in.Value1, 0xDEADBEEFul);
    EXPECT_EQ(result_in.Value2, -5);
    EXPECT_EQ(result_in.Value3, 200);
    EXPECT_EQ(packet.GetBufPoint(), packet.GetBufSize());
}

} // namespace
