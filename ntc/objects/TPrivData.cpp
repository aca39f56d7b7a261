#include "objects/TPrivData.h"

#include <cmath>

#include "objects/copy_members.h"
#include "transport/CNTPacket.h"
#include "transport/Trace.h"

namespace {

typedef long double Real;

// The rule constants are float values on the server; they must enter as
// exactly those values, not as the decimal they were written from.
const Real kThird = 0.33333334f;
const Real k0_4 = 0.4f;
const Real k1_7 = 1.7f;
const Real k0_6 = 0.6f;
const Real k0_2 = 0.2f;
const Real k1_8 = 1.8f;
const Real k0_8 = 0.8f;
const Real k1_6 = 1.6f;
const Real k0_9 = 0.9f;
// The intellect factor of maximum MP is a double constant.
const Real k1_9 = 1.9;

// Truncated toward zero, then cut to the low 16 bits. Done on the floating
// value so that a result outside every integer type (or not a number) never
// reaches an out-of-range conversion; those give 0.
short to_short(Real value) {
    if (!std::isfinite(value))
        return 0;
    Real low = std::fmod(std::trunc(value), 65536.0L); // exact, in (-65536, 65536)
    if (low < 0)
        low += 65536.0L;
    const unsigned int bits = static_cast<unsigned int>(low);
    return static_cast<short>(bits >= 32768u ? static_cast<int>(bits) - 65536
                                             : static_cast<int>(bits));
}

float to_float(Real value) {
    return static_cast<float>(value);
}

bool is_skill_group(int group) {
    return group >= 1 && group <= TPrivData::SKILL_GROUP_COUNT;
}

// The six attributes as the formulas take them: each with its bonus points.
// The sum is formed in extended precision: in float a large bonus would lose
// the attribute's fraction.
struct Attributes {
    explicit Attributes(const TPrivData& data)
        : power(Real(data.GetPower()) + data.AddPower),
          intellect(Real(data.GetIntellect()) + data.AddIntellect),
          staminar(Real(data.GetStaminar()) + data.AddStaminar),
          dexterity(Real(data.GetDexterity()) + data.AddDexterity),
          plyometric(Real(data.GetPlyometric()) + data.AddPlyometric),
          ki(Real(data.GetKI()) + data.AddKI) {}

    Real power;
    Real intellect;
    Real staminar;
    Real dexterity;
    Real plyometric;
    Real ki;
};

} // namespace

TPrivData::TPrivData()
    : HPRecovery(0), MPRecovery(0), MaxHP(0), MaxMP(0), MaxSP(0), SpiritPower(0.0f),
      MagicPower(0.0f), CurePower(0.0f) {
    Init();
}

// A fresh object first, for the derived values' zeros; everything else is
// then taken from the source.
TPrivData::TPrivData(const TPrivData& other) : TPrivData() {
    CopyStoredFrom(other);
    ntc::copy_members(*this, other, &TPrivData::UseSkillGroup, &TPrivData::JewelryParam1,
                      &TPrivData::JewelryParam2, &TPrivData::JewelryParam3,
                      &TPrivData::JewelryParam4, &TPrivData::JewelryParam5);
}

TPrivData& TPrivData::operator=(const TPrivData& other) {
    if (this != &other)
        CopyStoredFrom(other);
    return *this;
}

TPrivData::~TPrivData() {}

void TPrivData::CopyStoredFrom(const TPrivData& other) {
    ntc::copy_members(
        *this, other, &TPrivData::ParamPoint, &TPrivData::Power, &TPrivData::Intellect,
        &TPrivData::Staminar, &TPrivData::Dexterity, &TPrivData::Plyometric, &TPrivData::KI,
        &TPrivData::Level, &TPrivData::Exp, &TPrivData::AtkReDivision, &TPrivData::DefReDivision,
        &TPrivData::IntellectReDivision, &TPrivData::HP, &TPrivData::MP, &TPrivData::SP,
        &TPrivData::Gold, &TPrivData::ChattingProhibitTime, &TPrivData::UseWeaponIndex,
        &TPrivData::SelectSkillIndex, &TPrivData::MaxInventorySlot, &TPrivData::DeleteAvatarDate,
        &TPrivData::AddPower, &TPrivData::AddIntellect, &TPrivData::AddStaminar,
        &TPrivData::AddDexterity, &TPrivData::AddPlyometric, &TPrivData::AddKI);
}

void TPrivData::Init() {
    ParamPoint = 0;
    Power = 0.0f;
    Intellect = 0.0f;
    Staminar = 0.0f;
    Dexterity = 0.0f;
    Plyometric = 0.0f;
    KI = 0.0f;
    Level = 1;
    Exp = 0;
    AtkReDivision = 1;
    DefReDivision = 1;
    IntellectReDivision = 1;
    HP = 0.0f;
    MP = 0.0f;
    SP = 0.0f;
    Gold = 0;
    ChattingProhibitTime = 0;
    UseWeaponIndex = 11;
    UseSkillGroup = 1;
    for (int i = 0; i < SKILL_GROUP_COUNT; ++i)
        SelectSkillIndex[i] = 0;
    MaxInventorySlot = 1;
    HPRecovery = 0;
    MPRecovery = 0;
    MaxHP = 0;
    MaxMP = 0;
    MaxSP = 0;
    AddPower = 0;
    AddIntellect = 0;
    AddStaminar = 0;
    AddDexterity = 0;
    AddPlyometric = 0;
    AddKI = 0;
    JewelryParam1 = 1.0f;
    JewelryParam2 = 1.0f;
    JewelryParam3 = 1.0f;
    JewelryParam4 = 1.0f;
    JewelryParam5 = 1.0f;
}

void TPrivData::SetUseWeaponIndex(short index) {
    UseWeaponIndex = index;
    UseSkillGroup = index % 10;
}

int TPrivData::GetUseSkillGroup() {
    return UseSkillGroup;
}

short TPrivData::GetUseSkillIndex() {
    return is_skill_group(UseSkillGroup) ? SelectSkillIndex[UseSkillGroup - 1] : 0;
}

void TPrivData::SetSelectSkillIndex(short group, short index) {
    if (!is_skill_group(group)) {
        TRACE("없는 스킬 그룹이 들어왔다.  스킬그룹  %d\n", group);
        return;
    }
    if (index != 0 && (index < 100 || index > 1000)) {
        TRACE("잘못된 스킬인덱스이다.%d\n", index);
        return;
    }
    SelectSkillIndex[group - 1] = index;
}

short TPrivData::GetSelectSkillIndex(short group) const {
    return is_skill_group(group) ? SelectSkillIndex[group - 1] : 0;
}

void TPrivData::SetMaxInventorySlot(short count) {
    MaxInventorySlot = count > MAX_INVENTORY_SLOT ? static_cast<short>(MAX_INVENTORY_SLOT) : count;
}

void TPrivData::UpdateMaxInventorySlot() {
    if (Level >= 60)
        SetMaxInventorySlot(3);
    else if (Level >= 20)
        SetMaxInventorySlot(2);
}

void TPrivData::UpdateParamByJewelry(float param1, float param2, float param3, float param4,
                                     float param5) {
    JewelryParam1 = param1;
    JewelryParam2 = param2;
    JewelryParam3 = param3;
    JewelryParam4 = param4;
    JewelryParam5 = param5;
}

void TPrivData::UpdateHPRecovery() {
    const Attributes a(*this);
    HPRecovery = to_short(a.dexterity * kThird + 2 * a.staminar);
}

void TPrivData::UpdateMPRecovery() {
    const Attributes a(*this);
    MPRecovery = to_short(a.ki + a.intellect);
}

void TPrivData::UpdateMaxHP() {
    const Attributes a(*this);
    MaxHP = to_short(((a.ki + DefReDivision) * k0_4 + a.staminar * k1_7 + a.power * 0.5L +
                      Real(Level) * k0_6 + 60) *
                     Real(JewelryParam4));
}

void TPrivData::UpdateMaxMP() {
    const Attributes a(*this);
    MaxMP = to_short((a.intellect * k1_9 + a.ki * k0_6 + a.dexterity * k0_2 +
                      (Real(Level) * k0_4 + 40) + IntellectReDivision * k0_4) *
                     Real(JewelryParam5));
}

void TPrivData::UpdateMaxSP() {
    const Attributes a(*this);
    MaxSP = to_short(a.staminar * k1_8 + 50);
}

void TPrivData::UpdateSpiritPower() {
    const Attributes a(*this);
    SpiritPower = to_float(a.ki * k0_8 + 2 * a.intellect);
}

void TPrivData::UpdateMagicPower() {
    const Attributes a(*this);
    MagicPower = to_float(a.ki * k1_6 + a.plyometric * 0.5L + a.intellect);
}

void TPrivData::UpdateCurePower() {
    const Attributes a(*this);
    CurePower = to_float(a.ki * k0_9 + a.intellect);
}

CNTPacket& operator>>(CNTPacket& packet, TPrivData& data) {
    packet >> data.ParamPoint;
    packet >> data.Power >> data.Intellect >> data.Staminar >> data.Dexterity >> data.Plyometric >>
        data.KI;
    packet >> data.AtkReDivision >> data.DefReDivision >> data.IntellectReDivision;
    packet >> data.HP >> data.MP >> data.SP;
    packet >> data.Level >> data.Exp >> data.Gold;
    packet >> data.UseWeaponIndex;
    packet >> data.MaxInventorySlot;
    packet >> data.DeleteAvatarDate;
    for (int i = 0; i < TPrivData::SKILL_GROUP_COUNT; ++i)
        packet >> data.SelectSkillIndex[i];
    return packet;
}
