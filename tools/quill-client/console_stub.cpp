#include "console_stub.h"

#include <stdarg.h>
#include <stdio.h>

#include "quill/platform/line_log.h"

void ConsoleStub::say(const char* format, ...) {
    ++callbacks;
    va_list args;
    va_start(args, format);
    qp::print_line_v(stdout, "quill-client: ", format, args);
    va_end(args);
}

namespace {

const char* nickname(TAvatar& avatar) {
    return avatar.GetNickname();
}

} // namespace

// The messages of a small session, told in words.

void ConsoleStub::SC_Chat(short& speaker, CWizCharString<200>& text) {
    ++chats;
    say("SC_Chat from %d: \"%s\"", speaker, static_cast<const char*>(text));
}

void ConsoleStub::SC_AvatarMove(short& avatar, CDRVector& movement, short& aniID,
                                unsigned long& time) {
    ++moves;
    const CNTVector pos = movement.GetPos();
    say("SC_AvatarMove of %d to (%.2f, %.2f) speed %.2f animation %d time %lu", avatar, pos.x,
        pos.z, movement.GetSpeed(), aniID, time);
}

void ConsoleStub::SC_AvatarList(std::vector<TAvatar>& avatars) {
    say("SC_AvatarList: %u avatars in the session", static_cast<unsigned>(avatars.size()));
    for (TAvatar& avatar : avatars)
        say("  avatar %lu \"%s\" template %d", avatar.GetID(), nickname(avatar),
            avatar.GetAvatarTemplateID());
}

void ConsoleStub::SC_Avatar(TAvatar& avatar) {
    say("SC_Avatar %lu \"%s\" in zone %d", avatar.GetID(), nickname(avatar),
        avatar.GetCurZoneID());
}

void ConsoleStub::SC_PrivData(TPrivData& privData) {
    say("SC_PrivData: level %d, HP %.0f, MP %.0f, gold %ld", privData.GetLevel(),
        privData.GetHP(), privData.GetMP(), static_cast<long>(privData.GetGold()));
}

void ConsoleStub::SC_Wisper_Chat(unsigned long& sender, CWizCharString<200>& text) {
    say("SC_Wisper_Chat from %lu: \"%s\"", sender, static_cast<const char*>(text));
}

void ConsoleStub::SC_Wisper_Chat_Wide(unsigned long& sender, CWizCharString<20>& nick,
                                      CWizCharString<200>& text) {
    say("SC_Wisper_Chat_Wide from %lu (%s): \"%s\"", sender, static_cast<const char*>(nick),
        static_cast<const char*>(text));
}

void ConsoleStub::SC_GSList(std::vector<sGS>& servers) {
    say("SC_GSList: %u game servers", static_cast<unsigned>(servers.size()));
}

// The rest: the message's name and its plain fields.

void ConsoleStub::SC_Message29001(unsigned long& value) { say("SC_Message29001 %lu", value); }
void ConsoleStub::SC_Message29002() { say("SC_Message29002"); }
void ConsoleStub::SC_ObjectLists(std::vector<TWorldItem>& worldItems,
                                 std::vector<TMonster>& monsters, std::vector<TNPC>& npcs) {
    say("SC_ObjectLists: %u world items, %u monsters, %u NPCs",
        static_cast<unsigned>(worldItems.size()), static_cast<unsigned>(monsters.size()),
        static_cast<unsigned>(npcs.size()));
}
void ConsoleStub::SC_WorldItemList(std::vector<TWorldItem>& worldItems) {
    say("SC_WorldItemList: %u", static_cast<unsigned>(worldItems.size()));
}
void ConsoleStub::SC_MonsterList(std::vector<TMonster>& monsters) {
    say("SC_MonsterList: %u", static_cast<unsigned>(monsters.size()));
}
void ConsoleStub::SC_NPCList(std::vector<TNPC>& npcs) {
    say("SC_NPCList: %u", static_cast<unsigned>(npcs.size()));
}
void ConsoleStub::SC_WorldItem(TWorldItem& worldItem) {
    say("SC_WorldItem %lu", worldItem.GetID());
}
void ConsoleStub::SC_Monster(TMonster& monster) {
    say("SC_Monster %lu HP %.1f", monster.GetID(), monster.GetMonHP());
}
void ConsoleStub::SC_NPC(TNPC& npc) { say("SC_NPC %lu", npc.GetID()); }
void ConsoleStub::SC_Message14011(unsigned long& value) { say("SC_Message14011 %lu", value); }
void ConsoleStub::SC_Message14012(std::vector<short>& values) {
    say("SC_Message14012: %u values", static_cast<unsigned>(values.size()));
}
void ConsoleStub::SC_Message14013(unsigned long& value1, short& value2) {
    say("SC_Message14013 %lu %d", value1, value2);
}
void ConsoleStub::SC_Message12004(short& value1, short& value2, unsigned long& value3) {
    say("SC_Message12004 %d %d %lu", value1, value2, value3);
}
void ConsoleStub::SC_Message12005(short& value1, short& value2) {
    say("SC_Message12005 %d %d", value1, value2);
}
void ConsoleStub::SC_Message12006(unsigned long& value1, short& value2, unsigned char& value3) {
    say("SC_Message12006 %lu %d %u", value1, value2, value3);
}
void ConsoleStub::SC_AttackResult(std::vector<unsigned long>& values1,
                                  std::vector<short>& values2,
                                  std::vector<unsigned char>& values3) {
    say("SC_AttackResult: %u/%u/%u", static_cast<unsigned>(values1.size()),
        static_cast<unsigned>(values2.size()), static_cast<unsigned>(values3.size()));
}
void ConsoleStub::SC_Message12008(short& value) { say("SC_Message12008 %d", value); }
void ConsoleStub::SC_Message12007(unsigned long& value1, unsigned long& value2, short& value3,
                                  unsigned long& value4) {
    say("SC_Message12007 %lu %lu %d %lu", value1, value2, value3, value4);
}
void ConsoleStub::SC_Message15003(unsigned long& value1, short value2) {
    say("SC_Message15003 %lu %d", value1, value2);
}
void ConsoleStub::SC_Message12009(unsigned long& value) { say("SC_Message12009 %lu", value); }
void ConsoleStub::SC_Reserved1() {}
void ConsoleStub::SC_Message20001(TWorldItem& worldItem, unsigned long& value) {
    say("SC_Message20001 %lu %lu", worldItem.GetID(), value);
}
void ConsoleStub::SC_Message29003(unsigned char& value) { say("SC_Message29003 %u", value); }
void ConsoleStub::SC_Message13006(unsigned long& value) { say("SC_Message13006 %lu", value); }
void ConsoleStub::SC_Message13003(unsigned char& value1, short& value2) {
    say("SC_Message13003 %u %d", value1, value2);
}
void ConsoleStub::SC_Message13004(short& value1, short& value2, unsigned long& value3,
                                  short& value4, unsigned long&, unsigned long&, unsigned long&,
                                  unsigned long&, unsigned long&, unsigned long&) {
    say("SC_Message13004 %d %d %lu %d ...", value1, value2, value3, value4);
}
void ConsoleStub::SC_Message13005(unsigned long& value1, unsigned long& value2,
                                  unsigned long& value3) {
    say("SC_Message13005 %lu %lu %lu", value1, value2, value3);
}
void ConsoleStub::SC_Message13008(short& value1, unsigned long value2) {
    say("SC_Message13008 %d %lu", value1, value2);
}
void ConsoleStub::SC_Message13010(short& value1, unsigned long value2) {
    say("SC_Message13010 %d %lu", value1, value2);
}
void ConsoleStub::SC_Message15002(unsigned long& value1, CDRVector&, short& value2,
                                  unsigned long& value3) {
    say("SC_Message15002 %lu %d %lu", value1, value2, value3);
}
void ConsoleStub::SC_Message18001(unsigned char& value, CString& text) {
    say("SC_Message18001 %u \"%s\"", value, static_cast<const char*>(text));
}
void ConsoleStub::SC_Message19001(short& value) { say("SC_Message19001 %d", value); }
void ConsoleStub::SC_Message17002(short& value1, short& value2, short& value3,
                                  unsigned long& value4, unsigned long& value5,
                                  unsigned long& value6) {
    say("SC_Message17002 %d %d %d %lu %lu %lu", value1, value2, value3, value4, value5, value6);
}
void ConsoleStub::SC_Message16007(unsigned long& value1, short& value2, short& value3,
                                  unsigned long& value4) {
    say("SC_Message16007 %lu %d %d %lu", value1, value2, value3, value4);
}
void ConsoleStub::SC_Message16008(short& value1, unsigned long& value2) {
    say("SC_Message16008 %d %lu", value1, value2);
}
void ConsoleStub::SC_Message16009(unsigned long& value, TItem& item) {
    say("SC_Message16009 %lu item %ld", value, static_cast<long>(item.GetItemID()));
}
void ConsoleStub::SC_Message16026(unsigned long& value1, unsigned long& value2) {
    say("SC_Message16026 %lu %lu", value1, value2);
}
void ConsoleStub::SC_Message16010(short& value) { say("SC_Message16010 %d", value); }
void ConsoleStub::SC_Message16014(short& value) { say("SC_Message16014 %d", value); }
void ConsoleStub::SC_Message16025(short& value1, unsigned long& value2) {
    say("SC_Message16025 %d %lu", value1, value2);
}
void ConsoleStub::SC_Message16017(unsigned long& value, TSkill& skill) {
    say("SC_Message16017 %lu skill %ld", value, static_cast<long>(skill.GetSkillID()));
}
void ConsoleStub::SC_Message16018(short& value) { say("SC_Message16018 %d", value); }
void ConsoleStub::SC_Message16022(TSkill& skill, unsigned long& value) {
    say("SC_Message16022 skill %ld %lu", static_cast<long>(skill.GetSkillID()), value);
}
void ConsoleStub::SC_Message16023(short& value1, unsigned long& value2) {
    say("SC_Message16023 %d %lu", value1, value2);
}
void ConsoleStub::SC_Message16019(short& value) { say("SC_Message16019 %d", value); }
void ConsoleStub::SC_Message17003(short& value1, short& value2) {
    say("SC_Message17003 %d %d", value1, value2);
}
void ConsoleStub::SC_Message13007(short& value1, unsigned long& value2) {
    say("SC_Message13007 %d %lu", value1, value2);
}
void ConsoleStub::SC_Message16006(short& value) { say("SC_Message16006 %d", value); }
void ConsoleStub::SC_Message16013(CNTVector& position) {
    say("SC_Message16013 (%.2f, %.2f)", position.x, position.z);
}
void ConsoleStub::SC_Message50001(unsigned long& value1, std::vector<TItem>& items,
                                  std::vector<TSkill>& skills, unsigned long& value2) {
    say("SC_Message50001 %lu, %u items, %u skills, %lu", value1,
        static_cast<unsigned>(items.size()), static_cast<unsigned>(skills.size()), value2);
}
void ConsoleStub::SC_Message50002(unsigned long& value1, short& value2) {
    say("SC_Message50002 %lu %d", value1, value2);
}
void ConsoleStub::SC_Message50003(unsigned long& value) { say("SC_Message50003 %lu", value); }
void ConsoleStub::SC_Message50004(unsigned long& value1, short& value2) {
    say("SC_Message50004 %lu %d", value1, value2);
}
void ConsoleStub::SC_Message50005(unsigned long& value1, std::vector<TItem>& items,
                                  std::vector<TSkill>& skills, unsigned long& value2) {
    say("SC_Message50005 %lu, %u items, %u skills, %lu", value1,
        static_cast<unsigned>(items.size()), static_cast<unsigned>(skills.size()), value2);
}
void ConsoleStub::SC_Message60001(short value, CNTVector& position) {
    say("SC_Message60001 %d (%.2f, %.2f)", value, position.x, position.z);
}
void ConsoleStub::SC_Message60002(short value) { say("SC_Message60002 %d", value); }
void ConsoleStub::SC_Message16020(TAvatar& avatar) {
    say("SC_Message16020 avatar %lu \"%s\"", avatar.GetID(), nickname(avatar));
}
void ConsoleStub::SC_Message16021(TAvatar& avatar, TPrivData& privData,
                                  std::vector<TItem>& items, std::vector<TSkill>& skills) {
    say("SC_Message16021 avatar \"%s\" level %d, %u items, %u skills", nickname(avatar),
        privData.GetLevel(), static_cast<unsigned>(items.size()),
        static_cast<unsigned>(skills.size()));
}
void ConsoleStub::SC_Message21003(short& value, CNTVector& position) {
    say("SC_Message21003 %d (%.2f, %.2f)", value, position.x, position.z);
}
void ConsoleStub::SC_Message21004(unsigned long& value1, unsigned char& value2) {
    say("SC_Message21004 %lu %u", value1, value2);
}
void ConsoleStub::SC_Message21006() { say("SC_Message21006"); }
void ConsoleStub::SC_Message21007(unsigned long& value) { say("SC_Message21007 %lu", value); }
void ConsoleStub::SC_Message21008(TPrivData& privData) {
    say("SC_Message21008 level %d", privData.GetLevel());
}
void ConsoleStub::SC_Message21009(TSkill& skill) {
    say("SC_Message21009 skill %ld", static_cast<long>(skill.GetSkillID()));
}
void ConsoleStub::SC_Message21010(TItem& item) {
    say("SC_Message21010 item %ld", static_cast<long>(item.GetItemID()));
}
void ConsoleStub::SC_Reserved2() {}
