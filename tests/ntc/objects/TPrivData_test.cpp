#include "objects/TPrivData.h"
#include "transport/CNTPacket.h"
#include "transport/COLEDateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/packet_bytes.h"

namespace {

using quill_test::Bytes;

// The rule constants written out as the exact values of their floats, so
// the reference below does not borrow the float conversion it checks.
const long double kThird = 0.3333333432674407958984375L;
const long double k0_4 = 0.4000000059604644775390625L;
const long double k1_7 = 1.7000000476837158203125L;
const long double k0_6 = 0.60000002384185791015625L;
const long double k0_2 = 0.20000000298023223876953125L;
const long double k1_8 = 1.7999999523162841796875L;
const long double k0_8 = 0.800000011920928955078125L;
const long double k1_6 = 1.60000002384185791015625L;
const long double k0_9 = 0.89999997615814208984375L;
const long double k1_9 = 1.899999999999999911182158029987476766109466552734375L;

short low16(long double value) {
    const long long whole = static_cast<long long>(std::trunc(value));
    return static_cast<short>(
        static_cast<uint16_t>(static_cast<unsigned long long>(whole) & 0xFFFF));
}

using quill_test::received;

TEST(TPrivDataFresh, HoldsTheStartingValues) {
    TPrivData data;
    EXPECT_EQ(data.GetLevel(), 1);
    EXPECT_EQ(data.GetAtkReDivision(), 1);
    EXPECT_EQ(data.GetDefReDivision(), 1);
    EXPECT_EQ(data.GetIntellectReDivision(), 1);
    EXPECT_EQ(data.GetUseWeaponIndex(), 11);
    EXPECT_EQ(data.GetUseSkillGroup(), 1);
    EXPECT_EQ(data.GetMaxInventorySlot(), 1);
    EXPECT_EQ(data.GetGold(), 0);
    EXPECT_EQ(data.GetExp(), 0);
    EXPECT_EQ(data.GetChattingProhibitTime(), 0);
    for (short g = 1; g <= 4; ++g)
        EXPECT_EQ(data.GetSelectSkillIndex(g), 0);
    EXPECT_EQ(data.JewelryParam1, 1.0f);
    EXPECT_EQ(data.JewelryParam5, 1.0f);
    EXPECT_EQ(data.AddKI, 0);
    EXPECT_EQ(data.SpiritPower, 0.0f);
}

TEST(TPrivDataFresh, DerivedValuesOfAFreshObject) {
    TPrivData data;
    data.UpdateMaxSP();
    data.UpdateMaxHP();
    data.UpdateMaxMP();
    data.UpdateHPRecovery();
    data.UpdateMPRecovery();
    EXPECT_EQ(data.MaxSP, 50);
    EXPECT_EQ(data.MaxHP, 61); // 61.00000003
    EXPECT_EQ(data.MaxMP, 40); // 40.8
    EXPECT_EQ(data.HPRecovery, 0);
    EXPECT_EQ(data.MPRecovery, 0);
}

TEST(TPrivDataFresh, InitKeepsTheDateAndTheFloatPowers) {
    TPrivData data;
    data.SetDeleteAvatarDate(COLEDateTime(2024, 5, 6, 7, 8, 9));
    data.SetKI(10.0f);
    data.UpdateSpiritPower();
    data.UpdateParamByJewelry(2, 2, 2, 2, 2);
    data.SetLevel(40);
    data.SetSelectSkillIndex(3, 300);
    data.AddPower = 9;
    data.MaxHP = 500;
    const float spirit = data.SpiritPower;
    data.Init();
    EXPECT_EQ(data.GetDeleteAvatarDate(), COLEDateTime(2024, 5, 6, 7, 8, 9));
    EXPECT_EQ(data.SpiritPower, spirit);
    EXPECT_EQ(data.GetLevel(), 1);
    EXPECT_EQ(data.GetKI(), 0.0f);
    EXPECT_EQ(data.GetSelectSkillIndex(3), 0);
    EXPECT_EQ(data.JewelryParam4, 1.0f);
    EXPECT_EQ(data.AddPower, 0);
    EXPECT_EQ(data.MaxHP, 0);
}

TEST(TPrivDataRounding, TruncationOfNearIntegers) {
    TPrivData data;
    data.SetStaminar(10.0f);
    data.UpdateMaxSP();
    data.UpdateHPRecovery();
    EXPECT_EQ(data.MaxSP, 67); // 67.9999995
    EXPECT_EQ(data.HPRecovery, 20);

    TPrivData dex;
    dex.SetDexterity(3.0f);
    dex.UpdateHPRecovery();
    EXPECT_EQ(dex.HPRecovery, 1); // 1.00000003
}

TEST(TPrivDataRounding, SixteenBitResultsWrapAndNeverOverflow) {
    TPrivData data;
    data.SetStaminar(40000.0f); // 72049.99... keeps its low 16 bits
    data.UpdateMaxSP();
    EXPECT_EQ(data.MaxSP, 72049 - 65536);

    data.SetStaminar(-100.0f); // -130: truncated toward zero
    data.UpdateMaxSP();
    EXPECT_EQ(data.MaxSP, -129);

    // Far beyond any integer type: the low 16 bits of a multiple of 2^100
    // are 0, and an infinite value gives 0; neither is an out-of-range
    // conversion.
    data.SetStaminar(3.0e38f);
    data.AddStaminar = 0;
    data.UpdateHPRecovery();
    EXPECT_EQ(data.HPRecovery, 0);
    data.SetKI(INFINITY);
    data.SetIntellect(-INFINITY);
    data.UpdateMPRecovery();
    EXPECT_EQ(data.MPRecovery, 0);

    // Past the signed 64-bit range the low bits still come through.
    data.Init();
    data.SetKI(std::ldexp(1.0f, 63));
    data.SetIntellect(3.0f);
    data.UpdateMPRecovery();
    EXPECT_EQ(data.MPRecovery, 3);
}

TEST(TPrivDataRounding, BonusPointsDoNotLoseTheFraction) {
    TPrivData data;
    data.SetKI(0.75f);
    data.AddKI = 100000000; // in float the .75 would vanish
    data.SetIntellect(0.5f);
    data.UpdateMPRecovery();
    EXPECT_EQ(data.MPRecovery, low16(100000001.25L));
}

// Every formula over a grid of inputs, against the rule computed here in
// long double from the exact constants.
TEST(TPrivDataFormulas, MatchTheRulesOverAGrid) {
    const float values[] = {0.0f, 1.0f, 2.5f, 3.0f, 10.0f, 17.25f, 99.0f, 250.75f, 1000.0f};
    const int adds[] = {0, 7, -3};
    const short levels[] = {1, 20, 99};
    const float jewels[] = {1.0f, 1.1f, 1.5f};
    int checked = 0;
    for (float a : values)
        for (float b : values)
            for (int add : adds)
                for (short level : levels)
                    for (float jewel : jewels) {
                        SCOPED_TRACE(testing::Message() << a << " " << b << " " << add << " "
                                                        << level << " " << jewel);
                        TPrivData d;
                        // Each attribute gets a distinct value so a swapped
                        // operand shows.
                        d.SetPower(a);
                        d.SetIntellect(b);
                        d.SetStaminar(a + 1.0f);
                        d.SetDexterity(b + 2.0f);
                        d.SetPlyometric(a * 0.5f);
                        d.SetKI(b * 0.25f + 3.0f);
                        d.AddPower = add;
                        d.AddIntellect = add * 2;
                        d.AddStaminar = add + 1;
                        d.AddDexterity = -add;
                        d.AddPlyometric = add * 3;
                        d.AddKI = add - 1;
                        d.SetLevel(level);
                        d.SetDefReDivision(static_cast<short>(level / 3 + 1));
                        d.SetIntellectReDivision(static_cast<short>(level / 5 + 2));
                        d.UpdateParamByJewelry(0.5f, 0.5f, 0.5f, jewel, jewel * 1.25f);

                        const long double P = (long double)a + add;
                        const long double I = (long double)b + add * 2;
                        const long double S = (long double)(a + 1.0f) + (add + 1);
                        const long double D = (long double)(b + 2.0f) - add;
                        const long double Y = (long double)(a * 0.5f) + add * 3;
                        const long double K = (long double)(b * 0.25f + 3.0f) + (add - 1);
                        const long double L = level;
                        const long double def = d.GetDefReDivision();
                        const long double intel = d.GetIntellectReDivision();

                        d.UpdateHPRecovery();
                        d.UpdateMPRecovery();
                        d.UpdateMaxHP();
                        d.UpdateMaxMP();
                        d.UpdateMaxSP();
                        d.UpdateSpiritPower();
                        d.UpdateMagicPower();
                        d.UpdateCurePower();

                        EXPECT_EQ(d.HPRecovery, low16(D * kThird + 2 * S));
                        EXPECT_EQ(d.MPRecovery, low16(K + I));
                        EXPECT_EQ(d.MaxHP,
                                  low16(((K + def) * k0_4 + S * k1_7 + P * 0.5L + L * k0_6 + 60) *
                                        (long double)jewel));
                        EXPECT_EQ(d.MaxMP, low16((I * k1_9 + K * k0_6 + D * k0_2 + (L * k0_4 + 40) +
                                                  intel * k0_4) *
                                                 (long double)(jewel * 1.25f)));
                        EXPECT_EQ(d.MaxSP, low16(S * k1_8 + 50));
                        EXPECT_EQ(d.SpiritPower, (float)(K * k0_8 + 2 * I));
                        EXPECT_EQ(d.MagicPower, (float)(K * k1_6 + Y * 0.5L + I));
                        EXPECT_EQ(d.CurePower, (float)(K * k0_9 + I));
                        ++checked;
                    }
    EXPECT_EQ(checked, 9 * 9 * 3 * 3 * 3);
}

TEST(TPrivDataSkills, WeaponDigitChoosesTheSkillGroup) {
    TPrivData data;
    data.SetSelectSkillIndex(4, 400);
    data.SetUseWeaponIndex(1234);
    EXPECT_EQ(data.GetUseWeaponIndex(), 1234);
    EXPECT_EQ(data.GetUseSkillGroup(), 4);
    EXPECT_EQ(data.GetUseSkillIndex(), 400);
    data.SetUseWeaponIndex(1235);
    EXPECT_EQ(data.GetUseSkillGroup(), 5);
    EXPECT_EQ(data.GetUseSkillIndex(), 0);
    data.SetUseWeaponIndex(-23); // the remainder keeps the sign
    EXPECT_EQ(data.GetUseSkillGroup(), -3);
    EXPECT_EQ(data.GetUseSkillIndex(), 0);
    data.SetUseWeaponIndex(20);
    EXPECT_EQ(data.GetUseSkillIndex(), 0);
}

TEST(TPrivDataSkills, IndexRulesAndRefusals) {
    TPrivData data;
    data.SetSelectSkillIndex(2, 100);
    EXPECT_EQ(data.GetSelectSkillIndex(2), 100);
    data.SetSelectSkillIndex(2, 99);
    EXPECT_EQ(data.GetSelectSkillIndex(2), 100);
    data.SetSelectSkillIndex(2, 999);
    EXPECT_EQ(data.GetSelectSkillIndex(2), 999);
    data.SetSelectSkillIndex(2, 1000);
    EXPECT_EQ(data.GetSelectSkillIndex(2), 1000);
    data.SetSelectSkillIndex(2, 1001);
    data.SetSelectSkillIndex(2, 32767);
    data.SetSelectSkillIndex(2, -1);
    EXPECT_EQ(data.GetSelectSkillIndex(2), 1000);
    data.SetSelectSkillIndex(2, 0);
    EXPECT_EQ(data.GetSelectSkillIndex(2), 0);

    data.SetSelectSkillIndex(1, 150);
    data.SetSelectSkillIndex(0, 150);
    data.SetSelectSkillIndex(5, 150);
    data.SetSelectSkillIndex(-1, 150);
    EXPECT_EQ(data.GetSelectSkillIndex(1), 150);
    EXPECT_EQ(data.GetSelectSkillIndex(3), 0);
    EXPECT_EQ(data.GetSelectSkillIndex(4), 0);
    EXPECT_EQ(data.GetSelectSkillIndex(0), 0);
    EXPECT_EQ(data.GetSelectSkillIndex(5), 0);
    EXPECT_EQ(data.GetSelectSkillIndex(-32768), 0);
}

TEST(TPrivDataInventory, LimitAndLevelSteps) {
    TPrivData data;
    data.SetMaxInventorySlot(9);
    EXPECT_EQ(data.GetMaxInventorySlot(), 4);
    data.SetMaxInventorySlot(-2); // no lower bound
    EXPECT_EQ(data.GetMaxInventorySlot(), -2);

    data.SetMaxInventorySlot(4);
    data.SetLevel(19);
    data.UpdateMaxInventorySlot();
    EXPECT_EQ(data.GetMaxInventorySlot(), 4);
    data.SetLevel(20);
    data.UpdateMaxInventorySlot();
    EXPECT_EQ(data.GetMaxInventorySlot(), 2);
    data.SetLevel(59);
    data.UpdateMaxInventorySlot();
    EXPECT_EQ(data.GetMaxInventorySlot(), 2);
    data.SetLevel(60);
    data.UpdateMaxInventorySlot();
    const TPrivData& view = data;
    EXPECT_EQ(view.GetMaxInventorySlot(), 3);
}

TEST(TPrivDataAccessors, LongValuesKeepTheirLow32Bits) {
    TPrivData data;
    data.SetGold(-5);
    data.SetChattingProhibitTime(2147483647);
    EXPECT_EQ(data.GetGold(), -5);
    EXPECT_EQ(data.GetChattingProhibitTime(), 2147483647);
}

TPrivData filled() {
    TPrivData d;
    d.SetParamPoint(3);
    d.SetPower(1.5f);
    d.SetIntellect(2.5f);
    d.SetStaminar(3.5f);
    d.SetDexterity(4.5f);
    d.SetPlyometric(5.5f);
    d.SetKI(6.5f);
    d.SetLevel(42);
    d.SetExp(123456);
    d.SetAtkReDivision(7);
    d.SetDefReDivision(8);
    d.SetIntellectReDivision(9);
    d.SetHP(10.0f);
    d.SetMP(11.0f);
    d.SetSP(12.0f);
    d.SetGold(777);
    d.SetChattingProhibitTime(60);
    d.SetUseWeaponIndex(1232);
    d.SetSelectSkillIndex(1, 111);
    d.SetSelectSkillIndex(2, 222);
    d.SetSelectSkillIndex(3, 333);
    d.SetSelectSkillIndex(4, 444);
    d.SetMaxInventorySlot(3);
    d.SetDeleteAvatarDate(COLEDateTime(2020, 1, 2, 3, 4, 5));
    d.AddPower = 1;
    d.AddIntellect = 2;
    d.AddStaminar = 3;
    d.AddDexterity = 4;
    d.AddPlyometric = 5;
    d.AddKI = 6;
    d.UpdateParamByJewelry(1.1f, 1.2f, 1.3f, 1.4f, 1.5f);
    d.UpdateMaxHP();
    d.UpdateSpiritPower();
    return d;
}

// The stored fields in the groups the server sends them in, and the bonus
// points and jewelry multipliers as the game sets them.
std::vector<float> attributes_of(const TPrivData& d) {
    return {d.GetPower(),     d.GetIntellect(),  d.GetStaminar(),
            d.GetDexterity(), d.GetPlyometric(), d.GetKI()};
}

std::vector<short> redivisions_of(const TPrivData& d) {
    return {d.GetAtkReDivision(), d.GetDefReDivision(), d.GetIntellectReDivision()};
}

std::vector<float> pools_of(const TPrivData& d) {
    return {d.GetHP(), d.GetMP(), d.GetSP()};
}

std::vector<short> skill_indices_of(const TPrivData& d) {
    std::vector<short> indices;
    for (short group = 1; group <= TPrivData::SKILL_GROUP_COUNT; ++group)
        indices.push_back(d.GetSelectSkillIndex(group));
    return indices;
}

std::vector<int> bonuses_of(const TPrivData& d) {
    return {d.AddPower, d.AddIntellect, d.AddStaminar, d.AddDexterity, d.AddPlyometric, d.AddKI};
}

std::vector<float> jewelry_of(const TPrivData& d) {
    return {d.JewelryParam1, d.JewelryParam2, d.JewelryParam3, d.JewelryParam4, d.JewelryParam5};
}

// Every field that both the copy and the assignment carry.
void expect_stored_equal(TPrivData& a, TPrivData& b) {
    EXPECT_EQ(a.GetParamPoint(), b.GetParamPoint());
    EXPECT_EQ(attributes_of(a), attributes_of(b));
    EXPECT_EQ(redivisions_of(a), redivisions_of(b));
    EXPECT_EQ(pools_of(a), pools_of(b));
    EXPECT_EQ(skill_indices_of(a), skill_indices_of(b));
    EXPECT_EQ(bonuses_of(a), bonuses_of(b));
    EXPECT_EQ(a.GetLevel(), b.GetLevel());
    EXPECT_EQ(a.GetExp(), b.GetExp());
    EXPECT_EQ(a.GetGold(), b.GetGold());
    EXPECT_EQ(a.GetChattingProhibitTime(), b.GetChattingProhibitTime());
    EXPECT_EQ(a.GetUseWeaponIndex(), b.GetUseWeaponIndex());
    EXPECT_EQ(a.GetMaxInventorySlot(), b.GetMaxInventorySlot());
    EXPECT_EQ(a.GetDeleteAvatarDate(), b.GetDeleteAvatarDate());
}

TEST(TPrivDataCopy, CopyLeavesOutOnlyTheDerivedValues) {
    TPrivData source = filled();
    ASSERT_NE(source.MaxHP, 0);
    TPrivData copy(source);
    expect_stored_equal(copy, source);
    EXPECT_EQ(copy.GetUseSkillGroup(), 2);
    EXPECT_EQ(jewelry_of(copy), (std::vector<float>{1.1f, 1.2f, 1.3f, 1.4f, 1.5f}));
    EXPECT_EQ(copy.MaxHP, 0);
    EXPECT_EQ(copy.SpiritPower, 0.0f);
}

TEST(TPrivDataCopy, AssignmentKeepsGroupJewelryAndDerivedValues) {
    TPrivData source = filled();
    TPrivData target;
    target.SetUseWeaponIndex(13);
    target.UpdateParamByJewelry(3, 3, 3, 3, 3);
    target.MaxMP = 99;
    target.CurePower = 4.0f;
    target = source;
    expect_stored_equal(target, source);
    EXPECT_EQ(target.GetUseWeaponIndex(), 1232);
    EXPECT_EQ(target.GetUseSkillGroup(), 3);
    EXPECT_EQ(jewelry_of(target), std::vector<float>(5, 3.0f));
    EXPECT_EQ(target.MaxMP, 99);
    EXPECT_EQ(target.MaxHP, 0);
    EXPECT_EQ(target.CurePower, 4.0f);

    target = target; // self-assignment changes nothing
    EXPECT_EQ(target.GetLevel(), 42);
}

// Every field as it travels: each field's first byte, and the fifth of the
// date, are scrambled with 0x6B.
const Bytes kWire = {
    0xEB,        0x03, 78,   0,    // message 1003, length 78
    0x05 ^ 0x6B, 0x00,             // ParamPoint 5
    0x00 ^ 0x6B, 0x00, 0x20, 0x41, // Power 10.0
    0x00 ^ 0x6B, 0x00, 0x20, 0x40, // Intellect 2.5
    0x00 ^ 0x6B, 0x00, 0x80, 0x3F, // Staminar 1.0
    0x00 ^ 0x6B, 0x00, 0x40, 0x40, // Dexterity 3.0
    0x00 ^ 0x6B, 0x00, 0x00, 0x3F, // Plyometric 0.5
    0x00 ^ 0x6B, 0x00, 0x00, 0xC0, // KI -2.0
    0x02 ^ 0x6B, 0x00,             // AtkReDivision 2
    0x03 ^ 0x6B, 0x00,             // DefReDivision 3
    0x04 ^ 0x6B, 0x00,             // IntellectReDivision 4
    0x00 ^ 0x6B, 0x00, 0xC8, 0x42, // HP 100.0
    0x00 ^ 0x6B, 0x00, 0x48, 0x42, // MP 50.0
    0x00 ^ 0x6B, 0x00, 0xC8, 0x41, // SP 25.0
    0x23 ^ 0x6B, 0x00,             // Level 35
    0x04 ^ 0x6B, 0x03, 0x02, 0x01, // Exp 0x01020304
    0xFE ^ 0x6B, 0xFF, 0xFF, 0xFF, // Gold -2
    0xD2 ^ 0x6B, 0x04,             // UseWeaponIndex 1234
    0x09 ^ 0x6B, 0x00,             // MaxInventorySlot 9, beyond the limit
    0x00 ^ 0x6B, 0x00, 0x00, 0x00, 0x00 ^ 0x6B, 0x00, 0xF8, 0x3F, // DeleteAvatarDate 1.5
    0x96 ^ 0x6B, 0x00,                                            // skill group 1: 150
    0x00 ^ 0x6B, 0x00,                                            // group 2: 0
    0xE8 ^ 0x6B, 0x03,                                            // group 3: 1000
    0xFB ^ 0x6B, 0xFF,                                            // group 4: -5, as sent
};

TEST(TPrivDataWire, ReadsEveryFieldInOrder) {
    ASSERT_EQ(kWire.size(), 78u);
    CNTPacket packet = received(kWire);
    TPrivData data;
    data.SetSelectSkillIndex(2, 500);
    packet >> data;
    EXPECT_EQ(packet.GetBufPoint(), 78);
    EXPECT_EQ(data.GetParamPoint(), 5);
    EXPECT_EQ(attributes_of(data), (std::vector<float>{10.0f, 2.5f, 1.0f, 3.0f, 0.5f, -2.0f}));
    EXPECT_EQ(redivisions_of(data), (std::vector<short>{2, 3, 4}));
    EXPECT_EQ(pools_of(data), (std::vector<float>{100.0f, 50.0f, 25.0f}));
    EXPECT_EQ(data.GetLevel(), 35);
    EXPECT_EQ(data.GetExp(), 0x01020304);
    EXPECT_EQ(data.GetGold(), -2);
    EXPECT_EQ(data.GetUseWeaponIndex(), 1234);
    EXPECT_EQ(data.GetMaxInventorySlot(), 9);
    EXPECT_EQ(data.GetDeleteAvatarDate().m_dt, 1.5);
    EXPECT_EQ(data.GetDeleteAvatarDate().GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(skill_indices_of(data), (std::vector<short>{150, 0, 1000, -5}));
}

TEST(TPrivDataWire, LeavesTheFieldsItDoesNotCarry) {
    CNTPacket packet = received(kWire);
    TPrivData data;
    data.SetUseWeaponIndex(12);
    data.SetChattingProhibitTime(30);
    data.AddDexterity = 4;
    data.UpdateParamByJewelry(2, 2, 2, 2, 2);
    data.MaxSP = 77;
    packet >> data;
    EXPECT_EQ(data.GetUseWeaponIndex(), 1234);
    EXPECT_EQ(data.GetUseSkillGroup(), 2); // not recomputed from 1234
    EXPECT_EQ(data.GetUseSkillIndex(), 0); // group 2's slot arrived as 0
    EXPECT_EQ(data.GetChattingProhibitTime(), 30);
    EXPECT_EQ(data.AddDexterity, 4);
    EXPECT_EQ(data.JewelryParam3, 2.0f);
    EXPECT_EQ(data.MaxSP, 77);
}

TEST(TPrivDataWire, ShortMessageStopsAtItsEnd) {
    // Only ParamPoint and Power arrived; the rest keep their values.
    Bytes wire(kWire.begin(), kWire.begin() + 10);
    wire[2] = 10;
    CNTPacket packet = received(wire);
    TPrivData data;
    data.SetLevel(7);
    packet >> data;
    EXPECT_EQ(packet.GetBufPoint(), 10);
    EXPECT_EQ(data.GetParamPoint(), 5);
    EXPECT_EQ(data.GetPower(), 10.0f);
    EXPECT_EQ(data.GetLevel(), 7);
    EXPECT_EQ(data.GetUseWeaponIndex(), 11);
}

} // namespace
