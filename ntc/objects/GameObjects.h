// The game records the protocol carries: the objects that stand in a zone
// (avatars, monsters, NPCs, items lying in the world), inventory items,
// skills, and three plain records whose meaning belongs to the game.
//
// The records hold data only. Their wire forms have a fixed field order that
// differs from the declaration order; the user index, the UUID texts, the
// type code and the last zone never travel. A copy carries a fixed set of
// fields per class: an assignment leaves the others as the target had them,
// a copy construction gives them their fresh values (the type code, and an
// NPC's template, come from the source).
#ifndef QUILLNTC_OBJECTS_GAMEOBJECTS_H
#define QUILLNTC_OBJECTS_GAMEOBJECTS_H

#include <vector>

#include "NTCExport.h"
#include "objects/Accessors.h"
#include "objects/CDRVector.h"
#include "transport/CString.h"

class CNTPacket;

// Type codes of the zone objects.
enum {
    OBJECT_TYPE_AVATAR = 1,
    OBJECT_TYPE_WORLDITEM = 2,
    OBJECT_TYPE_MONSTER = 3,
    OBJECT_TYPE_NPC = 4,
};

class QUILLNTC_API TObject {
public:
    TObject();
    TObject(const TObject& other);
    TObject& operator=(const TObject& other);
    virtual ~TObject();

    // Session 0, id 0, both zones -1; the type and the movement stay.
    void Init();

    QUILLNTC_FIELD(unsigned long, ID)
    QUILLNTC_FIELD(unsigned long, Type)
    CDRVector* GetDRVector() { return &DRVector; }
    void SetDRVector(CDRVector& vector) { DRVector = vector; }
    short GetJoinedSessionID() const { return JoinedSessionID; }
    bool SetJoinedSessionID(short id) {
        JoinedSessionID = id;
        return true;
    }
    QUILLNTC_FIELD(short, CurZoneID)
    QUILLNTC_FIELD(short, LastZoneID)

protected:
    // For the copy constructors of the zone objects: the fresh values, with
    // the source's id, type and movement (its state included).
    struct fresh_copy_of {
        const TObject& source;
    };
    explicit TObject(fresh_copy_of from);

    short JoinedSessionID;
    unsigned long ID;
    unsigned long Type;
    CDRVector DRVector;
    short CurZoneID;
    short LastZoneID;
};

// A player character.
class QUILLNTC_API TAvatar : public TObject {
public:
    TAvatar();
    TAvatar(const TAvatar& other);
    TAvatar& operator=(const TAvatar& other);
    virtual ~TAvatar();

    // The object part as TObject::Init, type 1, the avatar's fields cleared;
    // the appearance array keeps its storage.
    void Init();

    QUILLNTC_FIELD(long, UserIndex)
    QUILLNTC_FIELD(short, AvatarIndex)
    QUILLNTC_FIELD_BY_REF(CString, Nickname)
    QUILLNTC_FIELD(short, AvatarTemplateID)
    QUILLNTC_FIELD(short, AniID)
    bool IsTransparent() const { return TransparentFlag; }
    void SetTransparentFlag(bool flag) { TransparentFlag = flag; }
    QUILLNTC_FIELD_BY_REF(std::vector<long>, Appearance)

    // Counted from 1. Outside the stored values the getter gives 0 and the
    // setter does nothing: the array never grows here.
    long GetAppearanceElement(int index) const;
    void SetAppearanceElement(int index, long value);
    // The equipped weapon's item id (the 11th appearance value) divided by
    // 10000; 0 when there is no 11th value.
    int GetWeaponItemKind() const;

    void SetDRVectorState(DR_STATE state) { DRVector.SetDRState(state); }

private:
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TAvatar& avatar);
    void CopyCarriedFrom(const TAvatar& other);

    long UserIndex;
    short AvatarIndex;
    CString Nickname;
    short AvatarTemplateID;
    short AniID;
    bool TransparentFlag;
    std::vector<long> Appearance;
};

class QUILLNTC_API TMonster : public TObject {
public:
    TMonster();
    TMonster(const TMonster& other);
    TMonster& operator=(const TMonster& other);
    virtual ~TMonster();

    void Init();

    QUILLNTC_FIELD(short, MonsterTemplateID)
    QUILLNTC_FIELD(short, AniID)
    QUILLNTC_FIELD(float, MonHP)

    void SetDRVectorState(DR_STATE state) { DRVector.SetDRState(state); }

private:
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TMonster& monster);
    void CopyCarriedFrom(const TMonster& other);

    short MonsterTemplateID;
    short AniID;
    float MonHP;
};

// A non-player character. Its record carries nothing on the wire: the
// server sends NPC lists as a count only.
class QUILLNTC_API TNPC : public TObject {
public:
    TNPC();
    TNPC(const TNPC& other);
    TNPC& operator=(const TNPC& other);
    virtual ~TNPC();

    // Resets the object part and sets type 4; the template stays.
    void Init();

    QUILLNTC_FIELD(short, NpcTemplateID)

private:
    short NpcTemplateID;
};

// An item lying in the world.
class QUILLNTC_API TWorldItem : public TObject {
public:
    TWorldItem();
    TWorldItem(const TWorldItem& other);
    TWorldItem& operator=(const TWorldItem& other);
    virtual ~TWorldItem();

    void Init();

    QUILLNTC_FIELD(int, WorldItemID)
    // Experience and count are one field under two names.
    QUILLNTC_FIELD(long, WorldItemExp)
    long GetWorldItemCount() const { return WorldItemExp; }
    void SetWorldItemCount(long count) { WorldItemExp = count; }
    short GetWorldItemOptionID() const { return WorldItemOptionID; }
    void SetWorldItemOptionID(short& id) { WorldItemOptionID = id; }
    QUILLNTC_FIELD_NONCONST_GET(CString, WorldItemUUID)

private:
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TWorldItem& item);
    void CopyCarriedFrom(const TWorldItem& other);

    CString WorldItemUUID;
    int WorldItemID;
    long WorldItemExp;
    short WorldItemOptionID;
};

// An item in an avatar's inventory.
class QUILLNTC_API TItem {
public:
    TItem();
    TItem(const TItem& other) = default;
    TItem& operator=(const TItem& other) = default;
    virtual ~TItem();

    // Clears everything but the user index and the temporary UUID.
    void Init();

    QUILLNTC_FIELD(long, UserIndex)
    QUILLNTC_FIELD(short, AvatarIndex)
    QUILLNTC_FIELD_NONCONST_GET(CString, ItemUUID)
    QUILLNTC_FIELD(short, TempUUID)
    QUILLNTC_FIELD(short, ItemIndex)
    QUILLNTC_FIELD(long, ItemID)
    QUILLNTC_FIELD(short, ItemOptionID)
    QUILLNTC_FIELD(long, ItemCount)

    // The thousands of the position code, truncated toward zero.
    short GetItemSlotIndex() const;

private:
    friend QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const TItem& item);
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TItem& item);

    long UserIndex;
    short AvatarIndex;
    CString ItemUUID;
    short TempUUID;
    short ItemIndex;
    long ItemID;
    short ItemOptionID;
    long ItemCount;
};

// A skill an avatar owns.
class QUILLNTC_API TSkill {
public:
    TSkill();
    TSkill(const TSkill& other) = default;
    TSkill& operator=(const TSkill& other) = default;
    virtual ~TSkill();

    // Clears everything but the temporary UUID.
    void Init();

    QUILLNTC_FIELD(long, UserIndex)
    QUILLNTC_FIELD(short, AvatarIndex)
    QUILLNTC_FIELD_NONCONST_GET(CString, SkillUUID)
    QUILLNTC_FIELD(short, TempUUID)
    QUILLNTC_FIELD(short, SkillIndex)
    QUILLNTC_FIELD(long, SkillID)
    QUILLNTC_FIELD(long, SkillExp)

private:
    friend QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const TSkill& skill);
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TSkill& skill);

    long UserIndex;
    short AvatarIndex;
    CString SkillUUID;
    short TempUUID;
    short SkillIndex;
    long SkillID;
    long SkillExp;
};

// A member of the player's party, as the game fills it in.
class QUILLNTC_API CPartyMember {
public:
    CPartyMember();

    short Value1;
    long Value2; // kept and copied, never sent
    CString Text1;
    CString Text2;
    short Value3;
    unsigned char Flag;
};

// One game server of the server list.
struct sGS {
    short Value1;
    short Value2;
};

struct sAttackResult {
    unsigned long Value1;
    short Value2;
    unsigned char Value3;
};

QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TAvatar& avatar);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TMonster& monster);
// Reads nothing.
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TNPC& npc);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TWorldItem& item);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const TItem& item);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TItem& item);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const TSkill& skill);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TSkill& skill);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const CPartyMember& member);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, CPartyMember& member);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const sGS& server);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, sGS& server);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const sAttackResult& result);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, sAttackResult& result);

#endif
