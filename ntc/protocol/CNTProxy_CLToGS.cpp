#include "protocol/CNTProxy_CLToGS.h"

#include <tuple>
#include <type_traits>

#include "protocol/CNestedReply.h"
#include "protocol/Messages.h"
#include "protocol/WireLists.h"
#include "quill/platform/clock.h"
#include "transport/CDebug.h"
#include "transport/CNTBase.h"
#include "transport/CNetIO.h"

namespace {

typedef unsigned short u16;

// A request's header: its number and the length placeholder.
CNTPacket& Begin(CNTPacket& packet, ntc_msg::Number number) {
    return packet << number << static_cast<u16>(0);
}

// One request field: a text up to its first zero byte, a counted list, or
// the field's own packet operator.
void Put(CNTPacket& packet, const CString& text) {
    packet << static_cast<const char*>(text);
}
template <size_t N> void Put(CNTPacket& packet, const CWizCharString<N>& text) {
    packet << static_cast<const char*>(text);
}
template <class T> void Put(CNTPacket& packet, const std::vector<T>& list) {
    ntc_wire::WriteList(packet, list);
}
template <class T> void Put(CNTPacket& packet, const T& field) {
    packet << field;
}

template <class... Fields> void PutAll(CNTPacket& packet, const std::tuple<Fields...>& fields) {
    std::apply([&packet](const auto&... field) { (Put(packet, field), ...); }, fields);
}

template <class Catalogued, class... Given> void CheckFields() {
    static_assert(std::is_same<Catalogued, std::tuple<std::decay_t<Given>...>>::value,
                  "the fields of a request are the catalogue's");
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

// One reply field: a plain number (0 where the reply is too short), a
// counted list (refused beyond what a reply can carry), or a record by its
// packet operator.
template <class T> bool Take(ReplyCall& call, std::vector<T>& list, unsigned long& result) {
    return call.List(list, result);
}
template <class T> bool Take(ReplyCall& call, T& field, unsigned long&) {
    if constexpr (std::is_arithmetic<T>::value)
        ReadNumber(call.Reply(), field);
    else
        call.Reply() >> field;
    return true;
}

// A request without reply: sent, and GS_OK whatever became of it (a failed
// send has closed the connection).
template <ntc_msg::Number N, class... Fields>
GS_RESULT Post(CNTProxy& proxy, const Fields&... fields) {
    CheckFields<typename ntc_msg::Post<N>::FieldTypes, Fields...>();
    CNTPacket packet;
    Begin(packet, N);
    (Put(packet, fields), ...);
    proxy.Send(packet);
    return GS_OK;
}

// A request with reply: registered, sent with its sequence number after the
// fields that go before it, waited for; then the reply's fields in order and
// its result code.
template <ntc_msg::Number N, class... Before, class... Fields, class... Reply>
GS_RESULT CallWithReply(CNTProxy& proxy, unsigned long& result,
                        const std::tuple<Before...>& before, const std::tuple<Fields...>& fields,
                        std::tuple<Reply&...> reply) {
    CheckFields<typename ntc_msg::Call<N>::BeforeTypes, Before...>();
    CheckFields<typename ntc_msg::Call<N>::FieldTypes, Fields...>();
    CheckFields<typename ntc_msg::Call<N>::ReplyTypes, Reply...>();
    ReplyCall call(proxy);
    if (!call.Registered())
        return GS_FAIL;
    CNTPacket packet;
    Begin(packet, N);
    PutAll(packet, before);
    packet << call.Sequence();
    PutAll(packet, fields);
    if (!call.SendAndWait(packet, result))
        return GS_FAIL;
    const bool taken = std::apply(
        [&call, &result](auto&... field) { return (Take(call, field, result) && ...); }, reply);
    if (!taken)
        return GS_FAIL;
    ReadNumber(call.Reply(), result);
    return GS_OK;
}

// Most calls have nothing before the sequence number.
template <ntc_msg::Number N, class... Fields, class... Reply>
GS_RESULT CallWithReply(CNTProxy& proxy, unsigned long& result,
                        const std::tuple<Fields...>& fields, std::tuple<Reply&...> reply) {
    return CallWithReply<N>(proxy, result, std::tuple<>(), fields, reply);
}

// The attack timestamp of 2012 and 2018.
template <ntc_msg::Number N> GS_RESULT SendAttack(CNTProxy& proxy, unsigned long monsterID) {
    const uint32_t ticks = qp::tick_count();
    SYSTEMTIME now;
    qp::system_time(&now);
    return Post<N>(proxy, monsterID, static_cast<unsigned long>(ticks),
                   static_cast<u16>(now.wSecond), static_cast<u16>(now.wMilliseconds));
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

using std::forward_as_tuple;
using std::tie;

GS_RESULT CNTProxy_CLToGS::CS_Logon(CString& first, CString& second, unsigned short& value,
                                    std::vector<TAvatar>& avatars,
                                    std::vector<TPrivData>& privData, unsigned long& result) {
    return CallWithReply<ntc_msg::LOGON>(*this, result, forward_as_tuple(first, second),
                                         tie(value, avatars, privData));
}

GS_RESULT CNTProxy_CLToGS::CS_CreateAvatar(short avatarIndex, CString& nickname, short templateID,
                                           unsigned long& result) {
    return CallWithReply<ntc_msg::CREATE_AVATAR>(
        *this, result, forward_as_tuple(avatarIndex, nickname, templateID), tie());
}

GS_RESULT CNTProxy_CLToGS::CS_DeleteAvatar(short avatarIndex, COLEDateTime& deleteDate,
                                           unsigned long& result) {
    return CallWithReply<ntc_msg::DELETE_AVATAR>(*this, result, forward_as_tuple(avatarIndex),
                                                 tie(deleteDate));
}

GS_RESULT CNTProxy_CLToGS::CS_CancelDeleteAvatar(short avatarIndex, unsigned long& result) {
    return CallWithReply<ntc_msg::CANCEL_DELETE_AVATAR>(*this, result,
                                                        forward_as_tuple(avatarIndex), tie());
}

GS_RESULT CNTProxy_CLToGS::CS_TryOnSession(short avatarIndex, short channel,
                                           std::vector<TItem>& items,
                                           std::vector<TSkill>& skills, unsigned long& result) {
    return CallWithReply<ntc_msg::TRY_ON_SESSION>(
        *this, result, forward_as_tuple(avatarIndex, channel), tie(items, skills));
}

GS_RESULT CNTProxy_CLToGS::CS_EnterSession() {
    return Post<ntc_msg::ENTER_SESSION>(*this);
}

GS_RESULT CNTProxy_CLToGS::CS_LeaveSession() {
    return Post<ntc_msg::LEAVE_SESSION>(*this);
}

GS_RESULT CNTProxy_CLToGS::CS_BearAgain(short value) {
    return Post<ntc_msg::BEAR_AGAIN>(*this, value);
}

GS_RESULT CNTProxy_CLToGS::CS_BearAndEnterSession() {
    return Post<ntc_msg::BEAR_AND_ENTER_SESSION>(*this);
}

GS_RESULT CNTProxy_CLToGS::CS_Warp_SessionIn(short& value1, short& value2, short& value3,
                                             short& value4, CNTVector& position,
                                             unsigned long& result) {
    return CallWithReply<ntc_msg::WARP_SESSION_IN>(
        *this, result, forward_as_tuple(value1, value2, value3, value4), tie(position));
}

GS_RESULT CNTProxy_CLToGS::CS_Warp_SessionIn_Free(short value, CNTVector& position) {
    return Post<ntc_msg::WARP_SESSION_IN_FREE>(*this, value, position);
}

GS_RESULT CNTProxy_CLToGS::CS_Warp_SessionOut() {
    return Post<ntc_msg::WARP_SESSION_OUT>(*this);
}

GS_RESULT CNTProxy_CLToGS::CS_Change_AvatarNickName(CWizCharString<20>& nickname,
                                                    unsigned long& result) {
    // The one request with a byte before its sequence number.
    return CallWithReply<ntc_msg::CHANGE_AVATAR_NICKNAME>(
        *this, result, std::make_tuple(static_cast<unsigned char>(1)), forward_as_tuple(nickname),
        tie());
}

GS_RESULT CNTProxy_CLToGS::CS_Error(CString& text) {
    return Post<ntc_msg::ERROR_REPORT>(*this, text);
}

// ---- Actions in the world -----------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_Chat(CWizCharString<200>& text) {
    return Post<ntc_msg::CHAT>(*this, text);
}

GS_RESULT CNTProxy_CLToGS::CS_AvatarMove(CDRVector& drVector, unsigned short aniID,
                                         unsigned long time) {
    return Post<ntc_msg::AVATAR_MOVE>(*this, drVector, aniID, time);
}

GS_RESULT CNTProxy_CLToGS::CS_PutonItem(short from, short to) {
    return Post<ntc_msg::PUTON_ITEM>(*this, from, to);
}

GS_RESULT CNTProxy_CLToGS::CS_TakeoffItem(short from, short to) {
    return Post<ntc_msg::TAKEOFF_ITEM>(*this, from, to);
}

GS_RESULT CNTProxy_CLToGS::CS_ChooseWeapon(short index) {
    return Post<ntc_msg::CHOOSE_WEAPON>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_BuyItems(long itemID, short count) {
    return Post<ntc_msg::BUY_ITEMS>(*this, itemID, count);
}

GS_RESULT CNTProxy_CLToGS::CS_BuyItem(long itemID, short count, short index) {
    return Post<ntc_msg::BUY_ITEM>(*this, itemID, count, index);
}

GS_RESULT CNTProxy_CLToGS::CS_SellItem(short index) {
    return Post<ntc_msg::SELL_ITEM>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_PickupItem(unsigned long worldItemID) {
    return Post<ntc_msg::PICKUP_ITEM>(*this, worldItemID);
}

GS_RESULT CNTProxy_CLToGS::CS_DropItem(short index) {
    return Post<ntc_msg::DROP_ITEM>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_AttackMonster(unsigned long monsterID) {
    return SendAttack<ntc_msg::ATTACK_MONSTER>(*this, monsterID);
}

GS_RESULT CNTProxy_CLToGS::CS_ReLocateItemInInventory(short from, short to) {
    return Post<ntc_msg::RELOCATE_ITEM>(*this, from, to);
}

GS_RESULT CNTProxy_CLToGS::CS_Use_Item(short index) {
    return Post<ntc_msg::USE_ITEM>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_Wisper_Chat(unsigned long avatarID, CWizCharString<200>& text) {
    return Post<ntc_msg::WISPER_CHAT>(*this, avatarID, text);
}

GS_RESULT CNTProxy_CLToGS::CS_Wisper_Chat_Wide(CWizCharString<20>& nickname,
                                               CWizCharString<200>& text) {
    return Post<ntc_msg::WISPER_CHAT_WIDE>(*this, nickname, text);
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_AttackArea(CNTVector& position) {
    return Post<ntc_msg::ATTACK_AREA>(*this, position);
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_SkillAttackMonster(unsigned long monsterID) {
    return SendAttack<ntc_msg::SKILL_ATTACK_MONSTER>(*this, monsterID);
}

GS_RESULT CNTProxy_CLToGS::CS_Avatar_Reload() {
    return Post<ntc_msg::AVATAR_RELOAD>(*this);
}

GS_RESULT CNTProxy_CLToGS::CS_UpdateJewelryCollection(short index) {
    return Post<ntc_msg::UPDATE_JEWELRY>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_Request_ItemUpgrade(short index, long itemID,
                                                  std::vector<short>& materials, short value1,
                                                  short value2, long& upgraded,
                                                  unsigned long& result) {
    return CallWithReply<ntc_msg::ITEM_UPGRADE>(
        *this, result, forward_as_tuple(index, itemID, materials, value1, value2), tie(upgraded));
}

GS_RESULT CNTProxy_CLToGS::CS_RepairItem(short index) {
    return Post<ntc_msg::REPAIR_ITEM>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_ExchangeItemInInventory(short from, short to) {
    return Post<ntc_msg::EXCHANGE_ITEM>(*this, from, to);
}

// ---- Parameters of the own avatar ---------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_UI_ResetKiSystem(short value1, short value2, short value3) {
    return Post<ntc_msg::RESET_KI_SYSTEM>(*this, value1, value2, value3);
}

GS_RESULT CNTProxy_CLToGS::CS_IncParameter(short parameter) {
    return Post<ntc_msg::INC_PARAMETER>(*this, parameter);
}

// ---- Barter and dealing -------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_RequestBarter(unsigned long avatarID) {
    return Post<ntc_msg::REQUEST_BARTER>(*this, avatarID);
}

GS_RESULT CNTProxy_CLToGS::CS_ResponseBarter(unsigned long avatarID, short answer) {
    return Post<ntc_msg::RESPONSE_BARTER>(*this, avatarID, answer);
}

GS_RESULT CNTProxy_CLToGS::CS_CancelBarter(unsigned long avatarID) {
    return Post<ntc_msg::CANCEL_BARTER>(*this, avatarID);
}

GS_RESULT CNTProxy_CLToGS::CS_Dealing(unsigned long avatarID, std::vector<TItem>& items,
                                      std::vector<TSkill>& skills, long gold) {
    return Post<ntc_msg::DEALING>(*this, avatarID, items, skills, gold);
}

GS_RESULT CNTProxy_CLToGS::CS_DealSign(unsigned long avatarID) {
    return Post<ntc_msg::DEAL_SIGN>(*this, avatarID);
}

// ---- Parties -------------------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_Request_Make_Party(unsigned long avatarID) {
    return Post<ntc_msg::REQUEST_PARTY>(*this, avatarID);
}

GS_RESULT CNTProxy_CLToGS::CS_Response_Make_Party(unsigned long avatarID, bool accept) {
    return Post<ntc_msg::RESPONSE_PARTY>(*this, avatarID, accept);
}

GS_RESULT CNTProxy_CLToGS::CS_Breakwith_Party() {
    return Post<ntc_msg::BREAKWITH_PARTY>(*this);
}

GS_RESULT CNTProxy_CLToGS::CS_Boss_Force_PartyMember_To_Breakwith_Party(CString nickname) {
    return Post<ntc_msg::FORCE_BREAKWITH_PARTY>(*this, nickname);
}

GS_RESULT CNTProxy_CLToGS::CS_Boss_Entrust_PartyMember(CString nickname) {
    return Post<ntc_msg::ENTRUST_PARTY>(*this, nickname);
}

// ---- Skills --------------------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_ReLocateSkill(short& from, short& to) {
    return Post<ntc_msg::RELOCATE_SKILL>(*this, from, to);
}

GS_RESULT CNTProxy_CLToGS::CS_ChooseSkill(short& index) {
    return Post<ntc_msg::CHOOSE_SKILL>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_BuySkill(long& skillID, short& value1, short& value2) {
    return Post<ntc_msg::BUY_SKILL>(*this, skillID, value1, value2);
}

GS_RESULT CNTProxy_CLToGS::CS_SellSkill(short& index) {
    return Post<ntc_msg::SELL_SKILL>(*this, index);
}

GS_RESULT CNTProxy_CLToGS::CS_PickupSkill(unsigned long& skillID) {
    return Post<ntc_msg::PICKUP_SKILL>(*this, skillID);
}

GS_RESULT CNTProxy_CLToGS::CS_DropSkill(short& index) {
    return Post<ntc_msg::DROP_SKILL>(*this, index);
}

// ---- Game-master commands -------------------------------------------------

GS_RESULT CNTProxy_CLToGS::CS_GM_Move_To_Avatar(CString nickname, short& zoneID,
                                                CNTVector& position, unsigned long& result) {
    return CallWithReply<ntc_msg::GM_MOVE_TO_AVATAR>(*this, result, forward_as_tuple(nickname),
                                                     tie(zoneID, position));
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Move_To_Position(short zoneID, CNTVector position,
                                                  unsigned long& result) {
    return CallWithReply<ntc_msg::GM_MOVE_TO_POSITION>(
        *this, result, forward_as_tuple(zoneID, position), tie());
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Call_Avatar(CString nickname) {
    return Post<ntc_msg::GM_CALL_AVATAR>(*this, nickname);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Transparent(bool on) {
    return Post<ntc_msg::GM_TRANSPARENT>(*this, on);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Prohibit_Avatar_Chatting(CString nickname, int minutes) {
    return Post<ntc_msg::GM_PROHIBIT_CHATTING>(*this, nickname, minutes);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Get_Avatar_Information(CString nickname, TAvatar& avatar,
                                                        TPrivData& privData,
                                                        unsigned long& result) {
    return CallWithReply<ntc_msg::GM_GET_AVATAR_INFORMATION>(
        *this, result, forward_as_tuple(nickname), tie(avatar, privData));
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Purge_Avatar(CString nickname) {
    return Post<ntc_msg::GM_PURGE_AVATAR>(*this, nickname);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Change_Level(CString nickname, short level) {
    return Post<ntc_msg::GM_CHANGE_LEVEL>(*this, nickname, level);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Give_Skill(CString nickname, int skillID, int value) {
    return Post<ntc_msg::GM_GIVE_SKILL>(*this, nickname, skillID, value);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Give_Item(CString nickname, int itemID, short count) {
    return Post<ntc_msg::GM_GIVE_ITEM>(*this, nickname, itemID, count);
}

GS_RESULT CNTProxy_CLToGS::CS_GM_Steal_Item(CString nickname, short index, TItem& item,
                                            unsigned long& result) {
    return CallWithReply<ntc_msg::GM_STEAL_ITEM>(*this, result, forward_as_tuple(nickname, index),
                                                 tie(item));
}
