// The console client's callbacks: each server message becomes one line on
// standard output.
#ifndef QUILL_TOOLS_CONSOLE_STUB_H
#define QUILL_TOOLS_CONSOLE_STUB_H

#include <atomic>

#include "QuillNTC.h"

class ConsoleStub : public CNTStub_GSToCL {
public:
    std::atomic<int> chats{0};
    std::atomic<int> moves{0};
    std::atomic<int> callbacks{0};

    void SC_Message29001(unsigned long& value) override;
    void SC_Message29002() override;
    void SC_AvatarList(std::vector<TAvatar>& avatars) override;
    void SC_ObjectLists(std::vector<TWorldItem>& worldItems, std::vector<TMonster>& monsters,
                        std::vector<TNPC>& npcs) override;
    void SC_WorldItemList(std::vector<TWorldItem>& worldItems) override;
    void SC_MonsterList(std::vector<TMonster>& monsters) override;
    void SC_NPCList(std::vector<TNPC>& npcs) override;
    void SC_Avatar(TAvatar& avatar) override;
    void SC_WorldItem(TWorldItem& worldItem) override;
    void SC_Monster(TMonster& monster) override;
    void SC_NPC(TNPC& npc) override;
    void SC_Message14011(unsigned long& value) override;
    void SC_Message14012(std::vector<short>& values) override;
    void SC_Message14013(unsigned long& value1, short& value2) override;
    void SC_Chat(short& speaker, CWizCharString<200>& text) override;
    void SC_AvatarMove(short& avatar, CDRVector& movement, short& aniID,
                       unsigned long& time) override;
    void SC_Message12004(short& value1, short& value2, unsigned long& value3) override;
    void SC_Message12005(short& value1, short& value2) override;
    void SC_Message12006(unsigned long& value1, short& value2, unsigned char& value3) override;
    void SC_AttackResult(std::vector<unsigned long>& values1, std::vector<short>& values2,
                         std::vector<unsigned char>& values3) override;
    void SC_Message12008(short& value) override;
    void SC_Message12007(unsigned long& value1, unsigned long& value2, short& value3,
                         unsigned long& value4) override;
    void SC_Message15003(unsigned long& value1, short value2) override;
    void SC_Message12009(unsigned long& value) override;
    void SC_Reserved1() override;
    void SC_Message20001(TWorldItem& worldItem, unsigned long& value) override;
    void SC_Wisper_Chat(unsigned long& sender, CWizCharString<200>& text) override;
    void SC_Wisper_Chat_Wide(unsigned long& sender, CWizCharString<20>& nickname,
                             CWizCharString<200>& text) override;
    void SC_Message29003(unsigned char& value) override;
    void SC_PrivData(TPrivData& privData) override;
    void SC_Message13006(unsigned long& value) override;
    void SC_Message13003(unsigned char& value1, short& value2) override;
    void SC_Message13004(short& value1, short& value2, unsigned long& value3, short& value4,
                         unsigned long& value5, unsigned long& value6, unsigned long& value7,
                         unsigned long& value8, unsigned long& value9,
                         unsigned long& value10) override;
    void SC_Message13005(unsigned long& value1, unsigned long& value2,
                         unsigned long& value3) override;
    void SC_Message13008(short& value1, unsigned long value2) override;
    void SC_Message13010(short& value1, unsigned long value2) override;
    void SC_Message15002(unsigned long& value1, CDRVector& movement, short& value2,
                         unsigned long& value3) override;
    void SC_Message18001(unsigned char& value, CString& text) override;
    void SC_Message19001(short& value) override;
    void SC_Message17002(short& value1, short& value2, short& value3, unsigned long& value4,
                         unsigned long& value5, unsigned long& value6) override;
    void SC_Message16007(unsigned long& value1, short& value2, short& value3,
                         unsigned long& value4) override;
    void SC_Message16008(short& value1, unsigned long& value2) override;
    void SC_Message16009(unsigned long& value, TItem& item) override;
    void SC_Message16026(unsigned long& value1, unsigned long& value2) override;
    void SC_Message16010(short& value) override;
    void SC_Message16014(short& value) override;
    void SC_Message16025(short& value1, unsigned long& value2) override;
    void SC_Message16017(unsigned long& value, TSkill& skill) override;
    void SC_Message16018(short& value) override;
    void SC_Message16022(TSkill& skill, unsigned long& value) override;
    void SC_Message16023(short& value1, unsigned long& value2) override;
    void SC_Message16019(short& value) override;
    void SC_Message17003(short& value1, short& value2) override;
    void SC_Message13007(short& value1, unsigned long& value2) override;
    void SC_Message16006(short& value) override;
    void SC_Message16013(CNTVector& position) override;
    void SC_GSList(std::vector<sGS>& servers) override;
    void SC_Message50001(unsigned long& value1, std::vector<TItem>& items,
                         std::vector<TSkill>& skills, unsigned long& value2) override;
    void SC_Message50002(unsigned long& value1, short& value2) override;
    void SC_Message50003(unsigned long& value) override;
    void SC_Message50004(unsigned long& value1, short& value2) override;
    void SC_Message50005(unsigned long& value1, std::vector<TItem>& items,
                         std::vector<TSkill>& skills, unsigned long& value2) override;
    void SC_Message60001(short value, CNTVector& position) override;
    void SC_Message60002(short value) override;
    void SC_Message16020(TAvatar& avatar) override;
    void SC_Message16021(TAvatar& avatar, TPrivData& privData, std::vector<TItem>& items,
                         std::vector<TSkill>& skills) override;
    void SC_Message21003(short& value, CNTVector& position) override;
    void SC_Message21004(unsigned long& value1, unsigned char& value2) override;
    void SC_Message21006() override;
    void SC_Message21007(unsigned long& value) override;
    void SC_Message21008(TPrivData& privData) override;
    void SC_Message21009(TSkill& skill) override;
    void SC_Message21010(TItem& item) override;
    void SC_Reserved2() override;

private:
    void say(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};

#endif
