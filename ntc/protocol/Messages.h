// The game protocol's catalogue: every message number and field list,
// written once (internal to the library and its game server).
//
// From it come the request bodies of CNTProxy_CLToGS, which check their
// arguments against it at compile time, the reply numbers the dispatcher
// hands to the proxy, the dispatch table of the callbacks, and the numbers
// the game server speaks. Adding a message is adding its line here, and its
// member or callback where the game sees it.
//
// QUILL_NTC_POSTS(X)      X(NAME, number, (request fields))
//     requests without reply: the header, then the fields in order.
// QUILL_NTC_CALLS(X)      X(NAME, number, (before), (request fields), (reply fields))
//     requests with reply: the header, the fields before the sequence
//     number (one request has a byte there), the sequence number, the
//     request fields; the reply's fields in order, then its result code.
// QUILL_NTC_REPLIES(X)    X(number)
//     the numbers under which a server answers a call, by sequence number.
// QUILL_NTC_CALLBACKS(X)  X(number, callback of CNTStub_GSToCL, (room))
//     server messages for the game; room reserves space for the message's
//     lists, in their order, before they are read.
//
// Texts (CString, CWizCharString) travel up to their first zero byte; a
// std::vector is a counted list.
#ifndef QUILLNTC_PROTOCOL_MESSAGES_H
#define QUILLNTC_PROTOCOL_MESSAGES_H

#include <tuple>
#include <vector>

#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "objects/GameObjects.h"
#include "objects/TPrivData.h"
#include "protocol/CWizCharString.h"
#include "transport/COLEDateTime.h"
#include "transport/CString.h"

// clang-format off
#define QUILL_NTC_POSTS(X) \
    X(ENTER_SESSION, 1007, ()) \
    X(LEAVE_SESSION, 1008, ()) \
    X(BEAR_AGAIN, 1009, (short)) \
    X(RESPONSE_NET_TIME, 1010, (unsigned long)) \
    X(BEAR_AND_ENTER_SESSION, 1011, ()) \
    X(WARP_SESSION_IN_FREE, 1013, (short, CNTVector)) \
    X(WARP_SESSION_OUT, 1014, ()) \
    X(ERROR_REPORT, 1016, (CString)) \
    X(CHAT, 2002, (CWizCharString<200>)) \
    X(AVATAR_MOVE, 2003, (CDRVector, unsigned short, unsigned long)) \
    X(PUTON_ITEM, 2004, (short, short)) \
    X(TAKEOFF_ITEM, 2005, (short, short)) \
    X(CHOOSE_WEAPON, 2006, (short)) \
    X(BUY_ITEMS, 2007, (long, short)) \
    X(BUY_ITEM, 2008, (long, short, short)) \
    X(SELL_ITEM, 2009, (short)) \
    X(PICKUP_ITEM, 2010, (unsigned long)) \
    X(DROP_ITEM, 2011, (short)) \
    /* monster, tick count, the UTC second and millisecond of the attack */ \
    X(ATTACK_MONSTER, 2012, (unsigned long, unsigned long, unsigned short, unsigned short)) \
    X(RELOCATE_ITEM, 2013, (short, short)) \
    X(USE_ITEM, 2014, (short)) \
    X(WISPER_CHAT, 2015, (unsigned long, CWizCharString<200>)) \
    X(WISPER_CHAT_WIDE, 2016, (CWizCharString<20>, CWizCharString<200>)) \
    X(ATTACK_AREA, 2017, (CNTVector)) \
    X(SKILL_ATTACK_MONSTER, 2018, (unsigned long, unsigned long, unsigned short, unsigned short)) \
    X(AVATAR_RELOAD, 2019, ()) \
    X(UPDATE_JEWELRY, 2020, (short)) \
    X(REPAIR_ITEM, 2022, (short)) \
    X(EXCHANGE_ITEM, 2023, (short, short)) \
    X(RESET_KI_SYSTEM, 3002, (short, short, short)) \
    X(INC_PARAMETER, 3003, (short)) \
    X(REQUEST_BARTER, 4001, (unsigned long)) \
    X(RESPONSE_BARTER, 4002, (unsigned long, short)) \
    X(CANCEL_BARTER, 4003, (unsigned long)) \
    X(DEALING, 4004, (unsigned long, std::vector<TItem>, std::vector<TSkill>, long)) \
    X(DEAL_SIGN, 4005, (unsigned long)) \
    X(REQUEST_PARTY, 5001, (unsigned long)) \
    X(RESPONSE_PARTY, 5002, (unsigned long, bool)) \
    X(BREAKWITH_PARTY, 5003, ()) \
    X(FORCE_BREAKWITH_PARTY, 5004, (CString)) \
    X(ENTRUST_PARTY, 5005, (CString)) \
    X(RELOCATE_SKILL, 6001, (short, short)) \
    X(CHOOSE_SKILL, 6002, (short)) \
    X(BUY_SKILL, 6003, (long, short, short)) \
    X(SELL_SKILL, 6004, (short)) \
    X(PICKUP_SKILL, 6005, (unsigned long)) \
    X(DROP_SKILL, 6006, (short)) \
    X(GM_CALL_AVATAR, 9003, (CString)) \
    X(GM_TRANSPARENT, 9004, (bool)) \
    X(GM_PROHIBIT_CHATTING, 9005, (CString, int)) \
    X(GM_PURGE_AVATAR, 9007, (CString)) \
    X(GM_CHANGE_LEVEL, 9008, (CString, short)) \
    X(GM_GIVE_SKILL, 9009, (CString, int, int)) \
    X(GM_GIVE_ITEM, 9010, (CString, int, short))

#define QUILL_NTC_CALLS(X) \
    X(LOGON, 1002, (), (CString, CString), \
      (unsigned short, std::vector<TAvatar>, std::vector<TPrivData>)) \
    X(CREATE_AVATAR, 1003, (), (short, CString, short), ()) \
    X(DELETE_AVATAR, 1004, (), (short), (COLEDateTime)) \
    X(CANCEL_DELETE_AVATAR, 1005, (), (short), ()) \
    X(TRY_ON_SESSION, 1006, (), (short, short), (std::vector<TItem>, std::vector<TSkill>)) \
    X(WARP_SESSION_IN, 1012, (), (short, short, short, short), (CNTVector)) \
    X(CHANGE_AVATAR_NICKNAME, 1015, (unsigned char), (CWizCharString<20>), ()) \
    X(ITEM_UPGRADE, 2021, (), (short, long, std::vector<short>, short, short), (long)) \
    X(GM_MOVE_TO_AVATAR, 9001, (), (CString), (short, CNTVector)) \
    X(GM_MOVE_TO_POSITION, 9002, (), (short, CNTVector), ()) \
    X(GM_GET_AVATAR_INFORMATION, 9006, (), (CString), (TAvatar, TPrivData)) \
    X(GM_STEAL_ITEM, 9011, (), (CString, short), (TItem))

#define QUILL_NTC_REPLIES(X) \
    X(10002) X(10003) X(10004) X(10006) X(10007) X(10008) \
    X(12010) X(16024) X(21001) X(21002) X(21005) X(21011)

// Most callbacks are named after their number, SC_Message12004 for 12004:
// in the list N(X, 12004) stands for X(12004, SC_Message12004, ()), and
// R(X, 14012, (5)) for X(14012, SC_Message14012, (5)).
#define QUILL_NTC_NUMBERED(X, NUMBER) X(NUMBER, SC_Message##NUMBER, ())
#define QUILL_NTC_NUMBERED_ROOM(X, NUMBER, ROOM) X(NUMBER, SC_Message##NUMBER, ROOM)
#define QUILL_NTC_CALLBACKS(X) \
    QUILL_NTC_CALLBACK_LIST(X, QUILL_NTC_NUMBERED, QUILL_NTC_NUMBERED_ROOM)

// By family of numbers.
#define QUILL_NTC_CALLBACK_LIST(X, N, R) \
    X(508, SC_GSList, ()) \
    X(12002, SC_Chat, ()) \
    X(12003, SC_AvatarMove, ()) \
    X(12012, SC_AttackResult, (50, 50, 50)) \
    N(X, 12004) N(X, 12005) N(X, 12006) N(X, 12007) N(X, 12008) N(X, 12009) \
    X(13002, SC_PrivData, ()) \
    N(X, 13003) N(X, 13004) N(X, 13005) N(X, 13006) N(X, 13007) N(X, 13008) N(X, 13010) \
    X(14002, SC_AvatarList, (60)) \
    X(14003, SC_ObjectLists, (100, 100, 100)) \
    X(14004, SC_WorldItemList, ()) X(14005, SC_MonsterList, ()) X(14006, SC_NPCList, ()) \
    X(14007, SC_Avatar, ()) X(14008, SC_WorldItem, ()) X(14009, SC_Monster, ()) \
    X(14010, SC_NPC, ()) \
    N(X, 14011) R(X, 14012, (5)) N(X, 14013) \
    N(X, 15002) N(X, 15003) \
    X(16015, SC_Wisper_Chat, ()) \
    X(16016, SC_Wisper_Chat_Wide, ()) \
    N(X, 16006) N(X, 16007) N(X, 16008) N(X, 16009) N(X, 16010) N(X, 16013) N(X, 16014) \
    N(X, 16017) N(X, 16018) N(X, 16019) N(X, 16020) R(X, 16021, (300, 100)) N(X, 16022) \
    N(X, 16023) N(X, 16025) N(X, 16026) \
    N(X, 17002) N(X, 17003) \
    N(X, 18001) \
    N(X, 19001) \
    N(X, 20001) \
    N(X, 21003) N(X, 21004) N(X, 21006) N(X, 21007) N(X, 21008) N(X, 21009) N(X, 21010) \
    N(X, 29001) N(X, 29002) N(X, 29003) \
    R(X, 50001, (100, 100)) N(X, 50002) N(X, 50003) N(X, 50004) R(X, 50005, (100, 100)) \
    N(X, 60001) N(X, 60002)
// clang-format on

// The parentheses of a field list taken off: QUILL_NTC_FIELDS (a, b) is a, b.
#define QUILL_NTC_FIELDS(...) __VA_ARGS__

namespace ntc_msg {

typedef unsigned short Number;

// The server's clock, answered with RESPONSE_NET_TIME; the library takes it
// itself, so it is neither reply nor callback.
const Number NET_TIME_SYNC = 10005;

// The request numbers by name (LOGON, CHAT, ...), the callbacks' numbers
// by the callback's name (SC_Chat, ...).
enum : Number {
#define QUILL_NTC_POST_NUMBER(NAME, NUMBER, FIELDS) NAME = NUMBER,
#define QUILL_NTC_CALL_NUMBER(NAME, NUMBER, BEFORE, FIELDS, REPLY) NAME = NUMBER,
#define QUILL_NTC_CALLBACK_NUMBER(NUMBER, NAME, ROOM) NAME = NUMBER,
    QUILL_NTC_POSTS(QUILL_NTC_POST_NUMBER)
    QUILL_NTC_CALLS(QUILL_NTC_CALL_NUMBER)
    QUILL_NTC_CALLBACKS(QUILL_NTC_CALLBACK_NUMBER)
#undef QUILL_NTC_POST_NUMBER
#undef QUILL_NTC_CALL_NUMBER
#undef QUILL_NTC_CALLBACK_NUMBER
};

// The field types of a request without reply.
template <Number N> struct Post;
// The field types of a request with reply: before the sequence number,
// after it, and of the reply (its result code not counted).
template <Number N> struct Call;

#define QUILL_NTC_POST_TRAITS(NAME, NUMBER, FIELDS)                                    \
    template <> struct Post<NUMBER> {                                                  \
        typedef std::tuple<QUILL_NTC_FIELDS FIELDS> FieldTypes;                            \
    };
#define QUILL_NTC_CALL_TRAITS(NAME, NUMBER, BEFORE, FIELDS, REPLY)                     \
    template <> struct Call<NUMBER> {                                                  \
        typedef std::tuple<QUILL_NTC_FIELDS BEFORE> BeforeTypes;                            \
        typedef std::tuple<QUILL_NTC_FIELDS FIELDS> FieldTypes;                            \
        typedef std::tuple<QUILL_NTC_FIELDS REPLY> ReplyTypes;                              \
    };
QUILL_NTC_POSTS(QUILL_NTC_POST_TRAITS)
QUILL_NTC_CALLS(QUILL_NTC_CALL_TRAITS)
#undef QUILL_NTC_POST_TRAITS
#undef QUILL_NTC_CALL_TRAITS

// True for the numbers under which the server answers a call.
constexpr bool IsReplyNumber(Number number) {
    switch (number) {
#define QUILL_NTC_REPLY_CASE(NUMBER) case NUMBER:
        QUILL_NTC_REPLIES(QUILL_NTC_REPLY_CASE)
#undef QUILL_NTC_REPLY_CASE
        return true;
    default:
        return false;
    }
}

// True for the numbers of the callbacks.
constexpr bool IsCallbackNumber(Number number) {
    switch (number) {
#define QUILL_NTC_CALLBACK_CASE(NUMBER, NAME, ROOM) case NUMBER:
        QUILL_NTC_CALLBACKS(QUILL_NTC_CALLBACK_CASE)
#undef QUILL_NTC_CALLBACK_CASE
        return true;
    default:
        return false;
    }
}

// A number is one thing: a reply would never reach a callback of the same
// number, and the clock message neither. (Two requests or two callbacks of
// one number do not compile.)
#define QUILL_NTC_NOT_A_REPLY(NUMBER, NAME, ROOM) \
    static_assert(!IsReplyNumber(NUMBER), "a callback's number is taken by a reply");
QUILL_NTC_CALLBACKS(QUILL_NTC_NOT_A_REPLY)
#undef QUILL_NTC_NOT_A_REPLY
static_assert(!IsReplyNumber(NET_TIME_SYNC) && !IsCallbackNumber(NET_TIME_SYNC),
              "the clock message has a number of its own");

} // namespace ntc_msg

#endif
