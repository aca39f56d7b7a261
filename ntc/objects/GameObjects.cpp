#include "objects/GameObjects.h"

#include "objects/copy_members.h"
#include "transport/CNTPacket.h"

using ntc::copy_members;

// --- TObject ---------------------------------------------------------------

TObject::TObject() : Type(0) {
    Init();
}

TObject::TObject(const TObject& other) = default;
TObject& TObject::operator=(const TObject& other) = default;
TObject::~TObject() = default;

TObject::TObject(fresh_copy_of from)
    : JoinedSessionID(0),
      ID(from.source.ID),
      Type(from.source.Type),
      DRVector(from.source.DRVector),
      CurZoneID(-1),
      LastZoneID(-1) {}

void TObject::Init() {
    JoinedSessionID = 0;
    ID = 0;
    CurZoneID = -1;
    LastZoneID = -1;
}

// The avatar, the monster and the world item are made and copied by one
// rule: a fresh object is Init's; a copy has the base constructor take the
// movement with its state, and the carried fields follow; an assignment sets
// only the carried fields (the movement without its state). Each class names
// its carried fields in CopyCarriedFrom. A macro, because a constructor or
// an assignment can only be defined under its own class's name.
#define QUILLNTC_ZONE_OBJECT_COPIES(T)                                                             \
    T::T() {                                                                                       \
        Init();                                                                                    \
    }                                                                                              \
    T::T(const T& other) : TObject(fresh_copy_of{other}) {                                         \
        CopyCarriedFrom(other);                                                                    \
    }                                                                                              \
    T& T::operator=(const T& other) {                                                              \
        if (this != &other)                                                                        \
            CopyCarriedFrom(other);                                                                \
        return *this;                                                                              \
    }                                                                                              \
    T::~T() = default;

QUILLNTC_ZONE_OBJECT_COPIES(TAvatar)
QUILLNTC_ZONE_OBJECT_COPIES(TMonster)
QUILLNTC_ZONE_OBJECT_COPIES(TWorldItem)

#undef QUILLNTC_ZONE_OBJECT_COPIES

// --- TAvatar ---------------------------------------------------------------

void TAvatar::CopyCarriedFrom(const TAvatar& other) {
    copy_members(*this, other, &TAvatar::JoinedSessionID, &TAvatar::ID, &TAvatar::DRVector,
                 &TAvatar::CurZoneID, &TAvatar::UserIndex, &TAvatar::AvatarIndex,
                 &TAvatar::Nickname, &TAvatar::AvatarTemplateID, &TAvatar::AniID,
                 &TAvatar::TransparentFlag, &TAvatar::Appearance);
}

void TAvatar::Init() {
    TObject::Init();
    Type = OBJECT_TYPE_AVATAR;
    UserIndex = 0;
    AvatarIndex = 0;
    Nickname = "";
    AvatarTemplateID = 0;
    AniID = 0;
    TransparentFlag = false;
    Appearance.clear();
}

long TAvatar::GetAppearanceElement(int index) const {
    if (index < 1 || static_cast<size_t>(index) > Appearance.size())
        return 0;
    return Appearance[static_cast<size_t>(index) - 1];
}

void TAvatar::SetAppearanceElement(int index, long value) {
    if (index < 1 || static_cast<size_t>(index) > Appearance.size())
        return;
    Appearance[static_cast<size_t>(index) - 1] = value;
}

int TAvatar::GetWeaponItemKind() const {
    // The values are 32-bit on the wire; a wider long holds them as read.
    return static_cast<int>(static_cast<int>(GetAppearanceElement(11)) / 10000);
}

// --- TMonster --------------------------------------------------------------

void TMonster::CopyCarriedFrom(const TMonster& other) {
    copy_members(*this, other, &TMonster::ID, &TMonster::DRVector, &TMonster::CurZoneID,
                 &TMonster::MonsterTemplateID, &TMonster::AniID, &TMonster::MonHP);
}

void TMonster::Init() {
    TObject::Init();
    Type = OBJECT_TYPE_MONSTER;
    MonsterTemplateID = 0;
    AniID = 0;
    MonHP = 0.0f;
}

// --- TNPC ------------------------------------------------------------------

TNPC::TNPC() : NpcTemplateID(0) {
    Init();
}

TNPC::TNPC(const TNPC& other)
    : TObject(fresh_copy_of{other}), NpcTemplateID(other.NpcTemplateID) {}

TNPC& TNPC::operator=(const TNPC& other) {
    if (this != &other) {
        ID = other.ID;
        DRVector = other.DRVector;
    }
    return *this;
}

TNPC::~TNPC() = default;

void TNPC::Init() {
    TObject::Init();
    Type = OBJECT_TYPE_NPC;
}

// --- TWorldItem ------------------------------------------------------------

void TWorldItem::CopyCarriedFrom(const TWorldItem& other) {
    copy_members(*this, other, &TWorldItem::ID, &TWorldItem::DRVector, &TWorldItem::CurZoneID,
                 &TWorldItem::WorldItemUUID, &TWorldItem::WorldItemID, &TWorldItem::WorldItemExp,
                 &TWorldItem::WorldItemOptionID);
}

void TWorldItem::Init() {
    TObject::Init();
    Type = OBJECT_TYPE_WORLDITEM;
    WorldItemUUID = "";
    WorldItemID = 0;
    WorldItemExp = 0;
    WorldItemOptionID = 0;
}

// --- TItem and TSkill ------------------------------------------------------

TItem::TItem() : UserIndex(0), TempUUID(0) {
    Init();
}

TItem::~TItem() = default;

void TItem::Init() {
    AvatarIndex = 0;
    ItemUUID = "";
    ItemIndex = 0;
    ItemID = 0;
    ItemOptionID = 0;
    ItemCount = 0;
}

short TItem::GetItemSlotIndex() const {
    // Integer division truncates toward zero, as the product with 0.001
    // truncated into a short does for every 16-bit position code.
    return static_cast<short>(ItemIndex / 1000);
}

TSkill::TSkill() : TempUUID(0) {
    Init();
}

TSkill::~TSkill() = default;

void TSkill::Init() {
    UserIndex = 0;
    AvatarIndex = 0;
    SkillUUID = "";
    SkillIndex = 0;
    SkillID = 0;
    SkillExp = 0;
}

CPartyMember::CPartyMember() : Value1(0), Value2(0), Value3(0), Flag(0) {}

// --- Wire forms ------------------------------------------------------------

CNTPacket& operator>>(CNTPacket& packet, TAvatar& avatar) {
    packet >> avatar.JoinedSessionID >> avatar.ID >> avatar.CurZoneID >> avatar.AvatarIndex >>
        avatar.AvatarTemplateID;
    packet >> avatar.DRVector;
    packet >> avatar.AniID >> avatar.Nickname >> avatar.TransparentFlag;

    short count = 0;
    packet >> count;
    // A negative count is taken as none. A count the rest of the packet
    // cannot carry is cut to what it carries, so a forged count never makes
    // the array larger than the message.
    long wanted = count < 0 ? 0 : count;
    const long left = static_cast<long>(packet.GetBufSize()) - packet.GetBufPoint();
    const long carried = left > 0 ? left / 4 : 0;
    if (wanted > carried)
        wanted = carried;
    avatar.Appearance.resize(static_cast<size_t>(wanted), 0);
    for (long& value : avatar.Appearance)
        packet >> value;
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, TMonster& monster) {
    packet >> monster.ID >> monster.CurZoneID >> monster.MonsterTemplateID;
    packet >> monster.DRVector;
    packet >> monster.AniID >> monster.MonHP;
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, TNPC&) {
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, TWorldItem& item) {
    packet >> item.ID >> item.CurZoneID;
    packet >> item.DRVector;
    packet >> item.WorldItemID >> item.WorldItemExp >> item.WorldItemOptionID;
    return packet;
}

CNTPacket& operator<<(CNTPacket& packet, const TItem& item) {
    return packet << item.AvatarIndex << item.ItemIndex << item.ItemID << item.ItemOptionID
                  << item.TempUUID << item.ItemCount;
}

CNTPacket& operator>>(CNTPacket& packet, TItem& item) {
    return packet >> item.AvatarIndex >> item.ItemIndex >> item.ItemID >> item.ItemOptionID >>
           item.TempUUID >> item.ItemCount;
}

CNTPacket& operator<<(CNTPacket& packet, const TSkill& skill) {
    return packet << skill.SkillIndex << skill.SkillID << skill.SkillExp << skill.TempUUID;
}

CNTPacket& operator>>(CNTPacket& packet, TSkill& skill) {
    return packet >> skill.SkillIndex >> skill.SkillID >> skill.SkillExp >> skill.TempUUID;
}

CNTPacket& operator<<(CNTPacket& packet, const CPartyMember& member) {
    packet << member.Value1;
    packet << member.Text1 << member.Text2;
    return packet << member.Value3 << member.Flag;
}

CNTPacket& operator>>(CNTPacket& packet, CPartyMember& member) {
    packet >> member.Value1;
    packet >> member.Text1 >> member.Text2;
    return packet >> member.Value3 >> member.Flag;
}

CNTPacket& operator<<(CNTPacket& packet, const sGS& server) {
    return packet << server.Value1 << server.Value2;
}

CNTPacket& operator>>(CNTPacket& packet, sGS& server) {
    return packet >> server.Value1 >> server.Value2;
}

CNTPacket& operator<<(CNTPacket& packet, const sAttackResult& result) {
    return packet << result.Value1 << result.Value2 << result.Value3;
}

CNTPacket& operator>>(CNTPacket& packet, sAttackResult& result) {
    return packet >> result.Value1 >> result.Value2 >> result.Value3;
}
