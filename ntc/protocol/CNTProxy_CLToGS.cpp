#include "protocol/CNTProxy_CLToGS.h"

#include "protocol/CNestedReply.h"
#include "protocol/WireLists.h"
#include "quill/platform/clock.h"
#include "transport/CDebug.h"
#include "transport/CNTBase.h"
#include "transport/CNetIO.h"

namespace {

typedef unsigned short u16;

// The message numbers of the requests.
enum : u16 {
    LOGON = 1002,
    CREATE_AVATAR = 1003,
    DELETE_AVATAR = 1004,
    CANCEL_DELETE_AVATAR = 1005,
    TRY_ON_SESSION = 1006,
    ENTER_SESSION = 1007,
    LEAVE_SESSION = 1008,
    BEAR_AGAIN = 1009,
    BEAR_AND_ENTER_SESSION = 1011,
    WARP_SESSION_IN = 1012,
    WARP_SESSION_IN_FREE = 1013,
    WARP_SESSION_OUT = 1014,
    CHANGE_AVATAR_NICKNAME = 1015,
    ERROR_REPORT = 1016,
    CHAT = 2002,
    AVATAR_MOVE = 2003,
    PUTON_ITEM = 2004,
    TAKEOFF_ITEM = 2005,
    CHOOSE_WEAPON = 2006,
    BUY_ITEMS = 2007,
    BUY_ITEM = 2008,
    SELL_ITEM = 2009,
    PICKUP_ITEM = 2010,
    DROP_ITEM = 2011,
    ATTACK_MONSTER = 2012,
    RELOCATE_ITEM = 2013,
    USE_ITEM = 2014,
    WISPER_CHAT = 2015,
    WISPER_CHAT_WIDE = 2016,
    ATTACK_AREA = 2017,
    SKILL_ATTACK_MONSTER = 2018,
    AVATAR_RELOAD = 2019,
    UPDATE_JEWELRY = 2020,
    ITEM_UPGRADE = 2021,
    REPAIR_ITEM = 2022,
    EXCHANGE_ITEM = 2023,
    RESET_KI_SYSTEM = 3002,
    INC_PARAMETER = 3003,
    REQUEST_BARTER = 4001,
    RESPONSE_BARTER = 4002,
    CANCEL_BARTER = 4003,
    DEALING = 4004,
    DEAL_SIGN = 4005,
    REQUEST_PARTY = 5001,
    RESPONSE_PARTY = 5002,
    BREAKWITH_PARTY = 5003,
    FORCE_BREAKWITH_PARTY = 5004,
    ENTRUST_PARTY = 5005,
    RELOCATE_SKILL = 6001,
    CHOOSE_SKILL = 6002,
    BUY_SKILL = 6003,
    SELL_SKILL = 6004,
    PICKUP_SKILL = 6005,
    DROP_SKILL = 6006,
    GM_MOVE_TO_AVATAR = 9001,
    GM_MOVE_TO_POSITION = 9002,
    GM_CALL_AVATAR = 9003,
    GM_TRANSPARENT = 9004,
    GM_PROHIBIT_CHATTING = 9005,
    GM_GET_AVATAR_INFORMATION = 9006,
    GM_PURGE_AVATAR = 9007,
    GM_CHANGE_LEVEL = 9008,
    GM_GIVE_SKILL = 9009,
    GM_GIVE_ITEM = 9010,
    GM_STEAL_ITEM = 9011
};

// A message without reply: number and length placeholder.
CNTPacket& Begin(CNTPacket& packet, u16 number) {
    return packet << number << static_cast<u16>(0);
}

// Texts travel up to their first zero byte.
const char* Text(const char* text) {
    return text;
}

// A call with reply, from registering its record to reading the reply.
class ReplyCall {
public:
    explicit ReplyCall(CNTProxy& proxy) : proxy_(proxy), reply_(proxy.PreNestedRequestReply()) {}
    ~ReplyCall() { proxy_.ReleaseNestedReply(reply_); }
    ReplyCall(const ReplyCall&) = delete;
    ReplyCall& operator=(const ReplyCall&) = delete;

    // False when no record could be made: the call ends with GS_FAIL and
    // sends nothing.
    bool Registered() const { return reply_ != nullptr; }
    u16 Sequence() const { return reply_->GetSequence(); }

    // Sends and waits. False after a time-out, with result set to 3.
    bool SendAndWait(CNTPacket& request, unsigned long& result) {
        proxy_.Send(request); // a failed send has closed the connection already
        if (proxy_.WaitForNestedRequestReply(reply_))
            return true;
        result = GS_FAIL;
        return false;
    }

    // The reply, its cursor right after the sequence number.
    CNTPacket& Reply() { return reply_->GetReplyPacket(); }

    // Reads a counted list of the reply; records beyond the end of a short
    // reply keep their values. False for a count of 32768 or more, which no
    // reply can carry: logged, result set to 3.
    template <class T>
    bool List(std::vector<T>& list, unsigned long& result) {
        unsigned count = 0;
        if (ntc_wire::ReadList(Reply(), list, &count))
            return true;
        CDebug::AppendDebugMsg("Reply Error!!! 리스트 개수가 패킷보다 크다 : %u\n", count);
        result = GS_FAIL;
        return false;
    }

private:
    CNTProxy& proxy_;
    CNestedReply* reply_;
};

using ntc_wire::ReadNumber;

// The attack timestamp of 2012 and 2018.
GS_RESULT SendAttack(CNTProxy& proxy, u16 number, unsigned long monsterID) {
    const uint32_t ticks = qp::tick_count();
    SYSTEMTIME now;
    qp::system_time(&now);
    CNTPacket packet;
    Begin(packet, number) << monsterID << static_cast<unsigned long>(ticks)
                          << static_cast<u16>(now.wSecond) << static_cast<u16>(now.wMilliseconds);
    proxy.Send(packet);
    return GS_OK;
}

} // namespace

CNTProxy_CLToGS::CNTProxy_CLToGS() {}

CNTProxy_CLToGS::~CNTProxy_CLToGS() {}

bool CNTProxy_CLToGS::Send(CNTPacket& packet) {
    const unsigned long serial = m_pOwner ? m_pOwner->GetConnectionSerial() : 0;
    if (m_pOwner && m_pOwner->SendToServer(packet) != CNetIO::NET_ERROR)
        return true;
    CDebug::AppendDebugMsg("Send Error!!!");
    // A connection that ended (or was replaced) during the send is not
    // this failure's to close.
    if (!m_pOwner || m_pOwner->GetConnectionSerial() == serial)
        ProcessProxyError();
    return false;
}

void CNTProxy_CLToGS::ProcessProxyError() {
    // The library closes here, not the game: the game hears of it as a loss.
    if (m_pOwner)
        m_pOwner->DropConnection();
}

// ---- Account, avatars, sessions ----------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_Logon(CString& first, CString& second, unsigned short& value,
                                    std::vector<TAvatar>& avatars,
                                    std::vector<TPrivData>& privData, unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, LOGON) << call.Sequence() << Text(first) << Text(second);
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), value);
    if (!call.List(avatars, result) || !call.List(privData, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_CreateAvatar(short avatarIndex, CString& nickname, short templateID,
                                           unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, CREATE_AVATAR) << call.Sequence() << avatarIndex << Text(nickname) << templateID;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_DeleteAvatar(short avatarIndex, COLEDateTime& deleteDate,
                                           unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, DELETE_AVATAR) << call.Sequence() << avatarIndex;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    call.Reply() >> deleteDate;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_CancelDeleteAvatar(short avatarIndex, unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, CANCEL_DELETE_AVATAR) << call.Sequence() << avatarIndex;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_TryOnSession(short avatarIndex, short channel,
                                           std::vector<TItem>& items,
                                           std::vector<TSkill>& skills, unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, TRY_ON_SESSION) << call.Sequence() << avatarIndex << channel;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    if (!call.List(items, result) || !call.List(skills, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_EnterSession() {
    CNTPacket packet;
    Begin(packet, ENTER_SESSION);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_LeaveSession() {
    CNTPacket packet;
    Begin(packet, LEAVE_SESSION);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_BearAgain(short value) {
    CNTPacket packet;
    Begin(packet, BEAR_AGAIN) << value;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_BearAndEnterSession() {
    CNTPacket packet;
    Begin(packet, BEAR_AND_ENTER_SESSION);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Warp_SessionIn(short& value1, short& value2, short& value3,
                                             short& value4, CNTVector& position,
                                             unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, WARP_SESSION_IN) << call.Sequence() << value1 << value2 << value3 << value4;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    call.Reply() >> position;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Warp_SessionIn_Free(short value, CNTVector& position) {
    CNTPacket packet;
    Begin(packet, WARP_SESSION_IN_FREE) << value << position;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Warp_SessionOut() {
    CNTPacket packet;
    Begin(packet, WARP_SESSION_OUT);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Change_AvatarNickName(CWizCharString<20>& nickname,
                                                    unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    // The one request with a byte before its sequence number.
    Begin(packet, CHANGE_AVATAR_NICKNAME)
        << static_cast<unsigned char>(1) << call.Sequence() << Text(nickname);
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Error(CString& text) {
    CNTPacket packet;
    Begin(packet, ERROR_REPORT) << Text(text);
    Send(packet);
    return GS_OK;
}

// ---- Actions in the world -----------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_Chat(CWizCharString<200>& text) {
    CNTPacket packet;
    Begin(packet, CHAT) << Text(text);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_AvatarMove(CDRVector& drVector, unsigned short aniID,
                                         unsigned long time) {
    CNTPacket packet;
    Begin(packet, AVATAR_MOVE) << drVector << aniID << time;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_PutonItem(short from, short to) {
    CNTPacket packet;
    Begin(packet, PUTON_ITEM) << from << to;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_TakeoffItem(short from, short to) {
    CNTPacket packet;
    Begin(packet, TAKEOFF_ITEM) << from << to;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_ChooseWeapon(short index) {
    CNTPacket packet;
    Begin(packet, CHOOSE_WEAPON) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_BuyItems(long itemID, short count) {
    CNTPacket packet;
    Begin(packet, BUY_ITEMS) << itemID << count;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_BuyItem(long itemID, short count, short index) {
    CNTPacket packet;
    Begin(packet, BUY_ITEM) << itemID << count << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_SellItem(short index) {
    CNTPacket packet;
    Begin(packet, SELL_ITEM) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_PickupItem(unsigned long worldItemID) {
    CNTPacket packet;
    Begin(packet, PICKUP_ITEM) << worldItemID;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_DropItem(short index) {
    CNTPacket packet;
    Begin(packet, DROP_ITEM) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_AttackMonster(unsigned long monsterID) {
    return SendAttack(*this, ATTACK_MONSTER, monsterID);
}

GS_RESULT CNTProxy_CLToGS::CS_ReLocateItemInInventory(short from, short to) {
    CNTPacket packet;
    Begin(packet, RELOCATE_ITEM) << from << to;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Use_Item(short index) {
    CNTPacket packet;
    Begin(packet, USE_ITEM) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Wisper_Chat(unsigned long avatarID, CWizCharString<200>& text) {
    CNTPacket packet;
    Begin(packet, WISPER_CHAT) << avatarID << Text(text);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Wisper_Chat_Wide(CWizCharString<20>& nickname,
                                               CWizCharString<200>& text) {
    CNTPacket packet;
    Begin(packet, WISPER_CHAT_WIDE) << Text(nickname) << Text(text);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_AttackArea(CNTVector& position) {
    CNTPacket packet;
    Begin(packet, ATTACK_AREA) << position;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_SkillAttackMonster(unsigned long monsterID) {
    return SendAttack(*this, SKILL_ATTACK_MONSTER, monsterID);
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_Reload() {
    CNTPacket packet;
    Begin(packet, AVATAR_RELOAD);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_UpdateJewelryCollection(short index) {
    CNTPacket packet;
    Begin(packet, UPDATE_JEWELRY) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Request_ItemUpgrade(short index, long itemID,
                                                  std::vector<short>& materials, short value1,
                                                  short value2, long& upgraded,
                                                  unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, ITEM_UPGRADE) << call.Sequence() << index << itemID;
    ntc_wire::WriteList(packet, materials);
    packet << value1 << value2;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), upgraded);
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_RepairItem(short index) {
    CNTPacket packet;
    Begin(packet, REPAIR_ITEM) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_ExchangeItemInInventory(short from, short to) {
    CNTPacket packet;
    Begin(packet, EXCHANGE_ITEM) << from << to;
    Send(packet);
    return GS_OK;
}

// ---- Parameters of the own avatar ---------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_UI_ResetKiSystem(short value1, short value2, short value3) {
    CNTPacket packet;
    Begin(packet, RESET_KI_SYSTEM) << value1 << value2 << value3;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_IncParameter(short parameter) {
    CNTPacket packet;
    Begin(packet, INC_PARAMETER) << parameter;
    Send(packet);
    return GS_OK;
}

// ---- Barter and dealing -------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_RequestBarter(unsigned long avatarID) {
    CNTPacket packet;
    Begin(packet, REQUEST_BARTER) << avatarID;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_ResponseBarter(unsigned long avatarID, short answer) {
    CNTPacket packet;
    Begin(packet, RESPONSE_BARTER) << avatarID << answer;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_CancelBarter(unsigned long avatarID) {
    CNTPacket packet;
    Begin(packet, CANCEL_BARTER) << avatarID;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Dealing(unsigned long avatarID, std::vector<TItem>& items,
                                      std::vector<TSkill>& skills, long gold) {
    CNTPacket packet;
    Begin(packet, DEALING) << avatarID;
    ntc_wire::WriteList(packet, items);
    ntc_wire::WriteList(packet, skills);
    packet << gold;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_DealSign(unsigned long avatarID) {
    CNTPacket packet;
    Begin(packet, DEAL_SIGN) << avatarID;
    Send(packet);
    return GS_OK;
}

// ---- Parties -------------------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_Request_Make_Party(unsigned long avatarID) {
    CNTPacket packet;
    Begin(packet, REQUEST_PARTY) << avatarID;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Response_Make_Party(unsigned long avatarID, bool accept) {
    CNTPacket packet;
    Begin(packet, RESPONSE_PARTY) << avatarID << accept;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Breakwith_Party() {
    CNTPacket packet;
    Begin(packet, BREAKWITH_PARTY);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Boss_Force_PartyMember_To_Breakwith_Party(CString nickname) {
    CNTPacket packet;
    Begin(packet, FORCE_BREAKWITH_PARTY) << Text(nickname);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_Boss_Entrust_PartyMember(CString nickname) {
    CNTPacket packet;
    Begin(packet, ENTRUST_PARTY) << Text(nickname);
    Send(packet);
    return GS_OK;
}

// ---- Skills --------------------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_ReLocateSkill(short& from, short& to) {
    CNTPacket packet;
    Begin(packet, RELOCATE_SKILL) << from << to;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_ChooseSkill(short& index) {
    CNTPacket packet;
    Begin(packet, CHOOSE_SKILL) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_BuySkill(long& skillID, short& value1, short& value2) {
    CNTPacket packet;
    Begin(packet, BUY_SKILL) << skillID << value1 << value2;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_SellSkill(short& index) {
    CNTPacket packet;
    Begin(packet, SELL_SKILL) << index;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_PickupSkill(unsigned long& skillID) {
    CNTPacket packet;
    Begin(packet, PICKUP_SKILL) << skillID;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_DropSkill(short& index) {
    CNTPacket packet;
    Begin(packet, DROP_SKILL) << index;
    Send(packet);
    return GS_OK;
}

// ---- Game-master commands -------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_GM_Move_To_Avatar(CString nickname, short& zoneID,
                                                CNTVector& position, unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, GM_MOVE_TO_AVATAR) << call.Sequence() << Text(nickname);
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), zoneID);
    call.Reply() >> position;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Move_To_Position(short zoneID, CNTVector position,
                                                  unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, GM_MOVE_TO_POSITION) << call.Sequence() << zoneID << position;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Call_Avatar(CString nickname) {
    CNTPacket packet;
    Begin(packet, GM_CALL_AVATAR) << Text(nickname);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Transparent(bool on) {
    CNTPacket packet;
    Begin(packet, GM_TRANSPARENT) << on;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Prohibit_Avatar_Chatting(CString nickname, int minutes) {
    CNTPacket packet;
    Begin(packet, GM_PROHIBIT_CHATTING) << Text(nickname) << minutes;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Get_Avatar_Information(CString nickname, TAvatar& avatar,
                                                        TPrivData& privData,
                                                        unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, GM_GET_AVATAR_INFORMATION) << call.Sequence() << Text(nickname);
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    call.Reply() >> avatar >> privData;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Purge_Avatar(CString nickname) {
    CNTPacket packet;
    Begin(packet, GM_PURGE_AVATAR) << Text(nickname);
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Change_Level(CString nickname, short level) {
    CNTPacket packet;
    Begin(packet, GM_CHANGE_LEVEL) << Text(nickname) << level;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Give_Skill(CString nickname, int skillID, int value) {
    CNTPacket packet;
    Begin(packet, GM_GIVE_SKILL) << Text(nickname) << skillID << value;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Give_Item(CString nickname, int itemID, short count) {
    CNTPacket packet;
    Begin(packet, GM_GIVE_ITEM) << Text(nickname) << itemID << count;
    Send(packet);
    return GS_OK;
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Steal_Item(CString nickname, short index, TItem& item,
                                            unsigned long& result) {
    ReplyCall call(*this);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, GM_STEAL_ITEM) << call.Sequence() << Text(nickname) << index;
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    call.Reply() >> item;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}
