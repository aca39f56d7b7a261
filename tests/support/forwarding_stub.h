// A CNTStub_GSToCL for tests, fuzzing and benchmarks: every callback hands
// its name and its arguments, as the dispatcher passed them, to a sink
// object with a call operator (const char* name, Args&... args).
#ifndef QUILL_TESTS_FORWARDING_STUB_H
#define QUILL_TESTS_FORWARDING_STUB_H

#include <vector>

#include "protocol/CNTStub.h"

namespace quill_test {

template <typename Sink> class ForwardingStub : public CNTStub_GSToCL {
public:
    Sink sink;

    void SC_Message29001(unsigned long& value) override { sink("SC_Message29001", value); }
    void SC_Message29002() override { sink("SC_Message29002"); }
    void SC_AvatarList(std::vector<TAvatar>& avatars) override { sink("SC_AvatarList", avatars); }
    void SC_ObjectLists(std::vector<TWorldItem>& worldItems, std::vector<TMonster>& monsters,
                        std::vector<TNPC>& npcs) override {
        sink("SC_ObjectLists", worldItems, monsters, npcs);
    }
    void SC_WorldItemList(std::vector<TWorldItem>& worldItems) override {
        sink("SC_WorldItemList", worldItems);
    }
    void SC_MonsterList(std::vector<TMonster>& monsters) override {
        sink("SC_MonsterList", monsters);
    }
    void SC_NPCList(std::vector<TNPC>& npcs) override { sink("SC_NPCList", npcs); }
    void SC_Avatar(TAvatar& avatar) override { sink("SC_Avatar", avatar); }
    void SC_WorldItem(TWorldItem& worldItem) override { sink("SC_WorldItem", worldItem); }
    void SC_Monster(TMonster& monster) override { sink("SC_Monster", monster); }
    void SC_NPC(TNPC& npc) override { sink("SC_NPC", npc); }
    void SC_Message14011(unsigned long& value) override { sink("SC_Message14011", value); }
    void SC_Message14012(std::vector<short>& values) override { sink("SC_Message14012", values); }
    void SC_Message14013(unsigned long& value1, short& value2) override {
        sink("SC_Message14013", value1, value2);
    }
    void SC_Chat(short& speaker, CWizCharString<200>& text) override {
        sink("SC_Chat", speaker, text);
    }
    void SC_AvatarMove(short& avatar, CDRVector& movement, short& aniID,
                       unsigned long& time) override {
        sink("SC_AvatarMove", avatar, movement, aniID, time);
    }
    void SC_Message12004(short& value1, short& value2, unsigned long& value3) override {
        sink("SC_Message12004", value1, value2, value3);
    }
    void SC_Message12005(short& value1, short& value2) override {
        sink("SC_Message12005", value1, value2);
    }
    void SC_Message12006(unsigned long& value1, short& value2, unsigned char& value3) override {
        sink("SC_Message12006", value1, value2, value3);
    }
    void SC_AttackResult(std::vector<unsigned long>& values1, std::vector<short>& values2,
                         std::vector<unsigned char>& values3) override {
        sink("SC_AttackResult", values1, values2, values3);
    }
    void SC_Message12008(short& value) override { sink("SC_Message12008", value); }
    void SC_Message12007(unsigned long& value1, unsigned long& value2, short& value3,
                         unsigned long& value4) override {
        sink("SC_Message12007", value1, value2, value3, value4);
    }
    void SC_Message15003(unsigned long& value1, short value2) override {
        sink("SC_Message15003", value1, value2);
    }
    void SC_Message12009(unsigned long& value) override { sink("SC_Message12009", value); }
    void SC_Reserved1() override { sink("SC_Reserved1"); }
    void SC_Message20001(TWorldItem& worldItem, unsigned long& value) override {
        sink("SC_Message20001", worldItem, value);
    }
    void SC_Wisper_Chat(unsigned long& sender, CWizCharString<200>& text) override {
        sink("SC_Wisper_Chat", sender, text);
    }
    void SC_Wisper_Chat_Wide(unsigned long& sender, CWizCharString<20>& nickname,
                             CWizCharString<200>& text) override {
        sink("SC_Wisper_Chat_Wide", sender, nickname, text);
    }
    void SC_Message29003(unsigned char& value) override { sink("SC_Message29003", value); }
    void SC_PrivData(TPrivData& privData) override { sink("SC_PrivData", privData); }
    void SC_Message13006(unsigned long& value) override { sink("SC_Message13006", value); }
    void SC_Message13003(unsigned char& value1, short& value2) override {
        sink("SC_Message13003", value1, value2);
    }
    void SC_Message13004(short& value1, short& value2, unsigned long& value3, short& value4,
                         unsigned long& value5, unsigned long& value6, unsigned long& value7,
                         unsigned long& value8, unsigned long& value9,
                         unsigned long& value10) override {
        sink("SC_Message13004", value1, value2, value3, value4, value5, value6, value7, value8,
             value9, value10);
    }
    void SC_Message13005(unsigned long& value1, unsigned long& value2,
                         unsigned long& value3) override {
        sink("SC_Message13005", value1, value2, value3);
    }
    void SC_Message13008(short& value1, unsigned long value2) override {
        sink("SC_Message13008", value1, value2);
    }
    void SC_Message13010(short& value1, unsigned long value2) override {
        sink("SC_Message13010", value1, value2);
    }
    void SC_Message15002(unsigned long& value1, CDRVector& movement, short& value2,
                         unsigned long& value3) override {
        sink("SC_Message15002", value1, movement, value2, value3);
    }
    void SC_Message18001(unsigned char& value, CString& text) override {
        sink("SC_Message18001", value, text);
    }
    void SC_Message19001(short& value) override { sink("SC_Message19001", value); }
    void SC_Message17002(short& value1, short& value2, short& value3, unsigned long& value4,
                         unsigned long& value5, unsigned long& value6) override {
        sink("SC_Message17002", value1, value2, value3, value4, value5, value6);
    }
    void SC_Message16007(unsigned long& value1, short& value2, short& value3,
                         unsigned long& value4) override {
        sink("SC_Message16007", value1, value2, value3, value4);
    }
    void SC_Message16008(short& value1, unsigned long& value2) override {
        sink("SC_Message16008", value1, value2);
    }
    void SC_Message16009(unsigned long& value, TItem& item) override {
        sink("SC_Message16009", value, item);
    }
    void SC_Message16026(unsigned long& value1, unsigned long& value2) override {
        sink("SC_Message16026", value1, value2);
    }
    void SC_Message16010(short& value) override { sink("SC_Message16010", value); }
    void SC_Message16014(short& value) override { sink("SC_Message16014", value); }
    void SC_Message16025(short& value1, unsigned long& value2) override {
        sink("SC_Message16025", value1, value2);
    }
    void SC_Message16017(unsigned long& value, TSkill& skill) override {
        sink("SC_Message16017", value, skill);
    }
    void SC_Message16018(short& value) override { sink("SC_Message16018", value); }
    void SC_Message16022(TSkill& skill, unsigned long& value) override {
        sink("SC_Message16022", skill, value);
    }
    void SC_Message16023(short& value1, unsigned long& value2) override {
        sink("SC_Message16023", value1, value2);
    }
    void SC_Message16019(short& value) override { sink("SC_Message16019", value); }
    void SC_Message17003(short& value1, short& value2) override {
        sink("SC_Message17003", value1, value2);
    }
    void SC_Message13007(short& value1, unsigned long& value2) override {
        sink("SC_Message13007", value1, value2);
    }
    void SC_Message16006(short& value) override { sink("SC_Message16006", value); }
    void SC_Message16013(CNTVector& position) override { sink("SC_Message16013", position); }
    void SC_GSList(std::vector<sGS>& servers) override { sink("SC_GSList", servers); }
    void SC_Message50001(unsigned long& value1, std::vector<TItem>& items,
                         std::vector<TSkill>& skills, unsigned long& value2) override {
        sink("SC_Message50001", value1, items, skills, value2);
    }
    void SC_Message50002(unsigned long& value1, short& value2) override {
        sink("SC_Message50002", value1, value2);
    }
    void SC_Message50003(unsigned long& value) override { sink("SC_Message50003", value); }
    void SC_Message50004(unsigned long& value1, short& value2) override {
        sink("SC_Message50004", value1, value2);
    }
    void SC_Message50005(unsigned long& value1, std::vector<TItem>& items,
                         std::vector<TSkill>& skills, unsigned long& value2) override {
        sink("SC_Message50005", value1, items, skills, value2);
    }
    void SC_Message60001(short value, CNTVector& position) override {
        sink("SC_Message60001", value, position);
    }
    void SC_Message60002(short value) override { sink("SC_Message60002", value); }
    void SC_Message16020(TAvatar& avatar) override { sink("SC_Message16020", avatar); }
    void SC_Message16021(TAvatar& avatar, TPrivData& privData, std::vector<TItem>& items,
                         std::vector<TSkill>& skills) override {
        sink("SC_Message16021", avatar, privData, items, skills);
    }
    void SC_Message21003(short& value, CNTVector& position) override {
        sink("SC_Message21003", value, position);
    }
    void SC_Message21004(unsigned long& value1, unsigned char& value2) override {
        sink("SC_Message21004", value1, value2);
    }
    void SC_Message21006() override { sink("SC_Message21006"); }
    void SC_Message21007(unsigned long& value) override { sink("SC_Message21007", value); }
    void SC_Message21008(TPrivData& privData) override { sink("SC_Message21008", privData); }
    void SC_Message21009(TSkill& skill) override { sink("SC_Message21009", skill); }
    void SC_Message21010(TItem& item) override { sink("SC_Message21010", item); }
    void SC_Reserved2() override { sink("SC_Reserved2"); }
};

} // namespace quill_test

#endif
