// TPrivData: the private statistics of one of the player's own avatars.
//
// The server sends the stored values (attributes, level, points, weapon and
// chosen skills); the game adds its bonus points and jewelry multipliers and
// then asks for the derived values through the Update operations. Those
// formulas are game rules shared with the server, so their constants and
// rounding are kept exactly: the single-precision constants enter as their
// float values, the arithmetic runs in extended precision, and a 16-bit
// result is truncated toward zero and then cut to its low 16 bits.
#ifndef QUILLNTC_TPRIVDATA_H
#define QUILLNTC_TPRIVDATA_H

#include "NTCExport.h"
#include "objects/Accessors.h"
#include "transport/COLEDateTime.h"

class CNTPacket;

class QUILLNTC_API TPrivData {
public:
    enum { SKILL_GROUP_COUNT = 4, MAX_INVENTORY_SLOT = 4 };

    TPrivData();
    // Carries everything but the eight derived values, which start at zero.
    TPrivData(const TPrivData& other);
    // As the copy, but UseSkillGroup, the jewelry multipliers and the derived
    // values keep the target's own.
    TPrivData& operator=(const TPrivData& other);
    virtual ~TPrivData();

    // Back to the fresh values; DeleteAvatarDate and the float powers stay.
    void Init();

    QUILLNTC_FIELD(short, ParamPoint)
    QUILLNTC_FIELD(float, Power)
    QUILLNTC_FIELD(float, Intellect)
    QUILLNTC_FIELD(float, Staminar)
    QUILLNTC_FIELD(float, Dexterity)
    QUILLNTC_FIELD(float, Plyometric)
    QUILLNTC_FIELD(float, KI)
    QUILLNTC_FIELD(short, Level)
    QUILLNTC_FIELD(int, Exp)
    QUILLNTC_FIELD(short, AtkReDivision)
    QUILLNTC_FIELD(short, DefReDivision)
    QUILLNTC_FIELD(short, IntellectReDivision)
    QUILLNTC_FIELD(float, HP)
    QUILLNTC_FIELD(float, MP)
    QUILLNTC_FIELD(float, SP)
    // Gold and the prohibition time are 32-bit; a wider long keeps its low
    // 32 bits.
    long GetGold() const { return Gold; }
    void SetGold(long value) { Gold = static_cast<int>(value); }
    long GetChattingProhibitTime() { return ChattingProhibitTime; }
    void SetChattingProhibitTime(long value) { ChattingProhibitTime = static_cast<int>(value); }
    QUILLNTC_FIELD_NONCONST_GET(COLEDateTime, DeleteAvatarDate)
    short GetUseWeaponIndex() const { return UseWeaponIndex; }
    short GetMaxInventorySlot() const { return MaxInventorySlot; }
    short GetMaxInventorySlot() { return MaxInventorySlot; }

    // The weapon's last decimal digit names its skill group (sign kept).
    void SetUseWeaponIndex(short index);
    int GetUseSkillGroup();
    // The skill chosen for the weapon's group; 0 when the group is not 1-4.
    short GetUseSkillIndex();
    // group 1-4; index 0 (none) or 100-1000. Anything else is refused and
    // leaves the object as it was.
    void SetSelectSkillIndex(short group, short index);
    // 0 for a group outside 1-4.
    short GetSelectSkillIndex(short group) const;
    // Above 4 is stored as 4; there is no lower bound.
    void SetMaxInventorySlot(short count);

    void UpdateHPRecovery();
    void UpdateMPRecovery();
    void UpdateMaxHP();
    void UpdateMaxMP();
    void UpdateMaxSP();
    void UpdateSpiritPower();
    void UpdateMagicPower();
    void UpdateCurePower();
    // Level 20 earns a second bag, 60 a third; below 20 the count is left be.
    void UpdateMaxInventorySlot();
    void UpdateParamByJewelry(float param1, float param2, float param3, float param4, float param5);

    // Derived values, read by the game.
    short HPRecovery;
    short MPRecovery;
    short MaxHP;
    short MaxMP;
    short MaxSP;
    float SpiritPower;
    float MagicPower;
    float CurePower;

    // Bonus points the game adds to the six attributes.
    int AddPower;
    int AddIntellect;
    int AddStaminar;
    int AddDexterity;
    int AddPlyometric;
    int AddKI;

    // Jewelry multipliers; only 4 (maximum HP) and 5 (maximum MP) enter the
    // formulas here. Written through UpdateParamByJewelry.
    float JewelryParam1;
    float JewelryParam2;
    float JewelryParam3;
    float JewelryParam4;
    float JewelryParam5;

private:
    friend QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TPrivData& data);

    // Everything the copy and the assignment both carry.
    void CopyStoredFrom(const TPrivData& other);

    short ParamPoint;
    float Power;
    float Intellect;
    float Staminar;
    float Dexterity;
    float Plyometric;
    float KI;
    short Level;
    int Exp;
    short AtkReDivision;
    short DefReDivision;
    short IntellectReDivision;
    float HP;
    float MP;
    float SP;
    int Gold;
    int ChattingProhibitTime;
    short UseWeaponIndex;
    int UseSkillGroup;
    short SelectSkillIndex[SKILL_GROUP_COUNT];
    short MaxInventorySlot;
    COLEDateTime DeleteAvatarDate;
};

// Reads the server's form. MaxInventorySlot is taken as sent (no limit of 4)
// and UseSkillGroup is not recomputed: the game calls SetUseWeaponIndex.
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, TPrivData& data);

#endif
