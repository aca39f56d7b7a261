// CNTStub and CNTStub_GSToCL: the callbacks a game client implements.
//
// The game client derives its own class from CNTStub_GSToCL, implements
// every callback and attaches one instance to its endpoint; the endpoint
// keeps the pointer and never deletes it. The dispatcher calls one callback
// per server message, with the message's fields in the order they travel.
//
// Arguments passed by reference are the dispatcher's own objects, valid
// only while the callback runs: copy what you want to keep. 8-bit fields
// arrive as unsigned char, 16-bit fields as short, 32-bit fields as
// unsigned long (a callback that knows a field is a float reads the same
// four bytes as one). A field that lies past the end of a short message
// arrives as zero, or as the default of its record.
//
// Callbacks run under the endpoint's queue lock, on the game's thread or on
// the receive thread, never two at once. A callback must not make a call
// that waits for a reply: it would wait out its whole time-out and the
// connection would be closed.
//
// The order of the declarations below is part of the library's binary
// interface: a game client built against it relies on each callback's place.
#ifndef QUILLNTC_PROTOCOL_CNTSTUB_H
#define QUILLNTC_PROTOCOL_CNTSTUB_H

#include <vector>

#include "NTCExport.h"
#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "objects/GameObjects.h"
#include "objects/TPrivData.h"
#include "protocol/CWizCharString.h"
#include "transport/CString.h"

class QUILLNTC_API CNTStub {
public:
    CNTStub();
    virtual ~CNTStub();
};

class QUILLNTC_API CNTStub_GSToCL : public CNTStub {
public:
    CNTStub_GSToCL();
    virtual ~CNTStub_GSToCL();

    virtual void SC_Message29001(unsigned long& value) = 0;
    virtual void SC_Message29002() = 0;
    virtual void SC_AvatarList(std::vector<TAvatar>& avatars) = 0;
    virtual void SC_ObjectLists(std::vector<TWorldItem>& worldItems,
                                std::vector<TMonster>& monsters, std::vector<TNPC>& npcs) = 0;
    virtual void SC_WorldItemList(std::vector<TWorldItem>& worldItems) = 0;
    virtual void SC_MonsterList(std::vector<TMonster>& monsters) = 0;
    virtual void SC_NPCList(std::vector<TNPC>& npcs) = 0;
    virtual void SC_Avatar(TAvatar& avatar) = 0;
    virtual void SC_WorldItem(TWorldItem& worldItem) = 0;
    virtual void SC_Monster(TMonster& monster) = 0;
    virtual void SC_NPC(TNPC& npc) = 0;
    virtual void SC_Message14011(unsigned long& value) = 0;
    virtual void SC_Message14012(std::vector<short>& values) = 0;
    virtual void SC_Message14013(unsigned long& value1, short& value2) = 0;
    virtual void SC_Chat(short& speaker, CWizCharString<200>& text) = 0;
    virtual void SC_AvatarMove(short& avatar, CDRVector& movement, short& aniID,
                               unsigned long& time) = 0;
    virtual void SC_Message12004(short& value1, short& value2, unsigned long& value3) = 0;
    virtual void SC_Message12005(short& value1, short& value2) = 0;
    virtual void SC_Message12006(unsigned long& value1, short& value2, unsigned char& value3) = 0;
    // The three columns of the attack results, each with its own count.
    virtual void SC_AttackResult(std::vector<unsigned long>& values1, std::vector<short>& values2,
                                 std::vector<unsigned char>& values3) = 0;
    virtual void SC_Message12008(short& value) = 0;
    virtual void SC_Message12007(unsigned long& value1, unsigned long& value2, short& value3,
                                 unsigned long& value4) = 0;
    virtual void SC_Message15003(unsigned long& value1, short value2) = 0;
    virtual void SC_Message12009(unsigned long& value) = 0;
    // Keeps its place in the table; no message reaches it.
    virtual void SC_Reserved1() = 0;
    virtual void SC_Message20001(TWorldItem& worldItem, unsigned long& value) = 0;
    virtual void SC_Wisper_Chat(unsigned long& sender, CWizCharString<200>& text) = 0;
    virtual void SC_Wisper_Chat_Wide(unsigned long& sender, CWizCharString<20>& nickname,
                                     CWizCharString<200>& text) = 0;
    virtual void SC_Message29003(unsigned char& value) = 0;
    virtual void SC_PrivData(TPrivData& privData) = 0;
    virtual void SC_Message13006(unsigned long& value) = 0;
    virtual void SC_Message13003(unsigned char& value1, short& value2) = 0;
    virtual void SC_Message13004(short& value1, short& value2, unsigned long& value3, short& value4,
                                 unsigned long& value5, unsigned long& value6,
                                 unsigned long& value7, unsigned long& value8,
                                 unsigned long& value9, unsigned long& value10) = 0;
    virtual void SC_Message13005(unsigned long& value1, unsigned long& value2,
                                 unsigned long& value3) = 0;
    virtual void SC_Message13008(short& value1, unsigned long value2) = 0;
    virtual void SC_Message13010(short& value1, unsigned long value2) = 0;
    virtual void SC_Message15002(unsigned long& value1, CDRVector& movement, short& value2,
                                 unsigned long& value3) = 0;
    virtual void SC_Message18001(unsigned char& value, CString& text) = 0;
    virtual void SC_Message19001(short& value) = 0;
    virtual void SC_Message17002(short& value1, short& value2, short& value3, unsigned long& value4,
                                 unsigned long& value5, unsigned long& value6) = 0;
    virtual void SC_Message16007(unsigned long& value1, short& value2, short& value3,
                                 unsigned long& value4) = 0;
    virtual void SC_Message16008(short& value1, unsigned long& value2) = 0;
    virtual void SC_Message16009(unsigned long& value, TItem& item) = 0;
    virtual void SC_Message16026(unsigned long& value1, unsigned long& value2) = 0;
    virtual void SC_Message16010(short& value) = 0;
    virtual void SC_Message16014(short& value) = 0;
    virtual void SC_Message16025(short& value1, unsigned long& value2) = 0;
    virtual void SC_Message16017(unsigned long& value, TSkill& skill) = 0;
    virtual void SC_Message16018(short& value) = 0;
    virtual void SC_Message16022(TSkill& skill, unsigned long& value) = 0;
    virtual void SC_Message16023(short& value1, unsigned long& value2) = 0;
    virtual void SC_Message16019(short& value) = 0;
    virtual void SC_Message17003(short& value1, short& value2) = 0;
    virtual void SC_Message13007(short& value1, unsigned long& value2) = 0;
    virtual void SC_Message16006(short& value) = 0;
    virtual void SC_Message16013(CNTVector& position) = 0;
    virtual void SC_GSList(std::vector<sGS>& servers) = 0;
    virtual void SC_Message50001(unsigned long& value1, std::vector<TItem>& items,
                                 std::vector<TSkill>& skills, unsigned long& value2) = 0;
    virtual void SC_Message50002(unsigned long& value1, short& value2) = 0;
    virtual void SC_Message50003(unsigned long& value) = 0;
    virtual void SC_Message50004(unsigned long& value1, short& value2) = 0;
    virtual void SC_Message50005(unsigned long& value1, std::vector<TItem>& items,
                                 std::vector<TSkill>& skills, unsigned long& value2) = 0;
    virtual void SC_Message60001(short value, CNTVector& position) = 0;
    virtual void SC_Message60002(short value) = 0;
    virtual void SC_Message16020(TAvatar& avatar) = 0;
    virtual void SC_Message16021(TAvatar& avatar, TPrivData& privData, std::vector<TItem>& items,
                                 std::vector<TSkill>& skills) = 0;
    virtual void SC_Message21003(short& value, CNTVector& position) = 0;
    virtual void SC_Message21004(unsigned long& value1, unsigned char& value2) = 0;
    virtual void SC_Message21006() = 0;
    virtual void SC_Message21007(unsigned long& value) = 0;
    virtual void SC_Message21008(TPrivData& privData) = 0;
    virtual void SC_Message21009(TSkill& skill) = 0;
    virtual void SC_Message21010(TItem& item) = 0;
    // Keeps its place in the table; no message reaches it.
    virtual void SC_Reserved2() = 0;
};

#endif
