// CNTProxy_CLToGS: the client-to-server calls of the game protocol.
//
// One member per message. A call without reply builds its packet, sends it
// and returns GS_OK. A call with reply (its last parameter is the result
// code) waits for the server's answer for at most the proxy's reply wait
// (20000 ms) and returns GS_OK with the reply's fields in its reference
// parameters, or GS_FAIL: no record could be made (nothing sent, nothing
// changed), the reply did not come (result 3, connection closed), or the
// reply carried a list longer than its bytes could hold (result 3).
// A plain number that the reply is too short to hold arrives as 0.
#ifndef QUILLNTC_PROTOCOL_CNTPROXY_CLTOGS_H
#define QUILLNTC_PROTOCOL_CNTPROXY_CLTOGS_H

#include <vector>

#include "NTCExport.h"
#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "objects/GameObjects.h"
#include "objects/TPrivData.h"
#include "protocol/CNTProxy.h"
#include "protocol/CWizCharString.h"
#include "transport/CNTBaseClient.h"
#include "transport/COLEDateTime.h"
#include "transport/CString.h"

class QUILLNTC_API CNTProxy_CLToGS : public CNTProxy {
public:
    CNTProxy_CLToGS();
    virtual ~CNTProxy_CLToGS();

    // Sends through the owner's SendToServer. A failed socket send logs
    // "Send Error!!!", closes the connection (ProcessProxyError) and
    // returns false.
    virtual bool Send(CNTPacket& packet);
    // Closes the connection through the owner.
    virtual void ProcessProxyError();

    // Account, avatars, sessions (1002-1016).
    GS_RESULT CS_Logon(CString& account, CString& password, unsigned short& value,
                       std::vector<TAvatar>& avatars, std::vector<TPrivData>& privData,
                       unsigned long& result);
    GS_RESULT CS_CreateAvatar(short avatarIndex, CString& nickname, short templateID,
                              unsigned long& result);
    GS_RESULT CS_DeleteAvatar(short avatarIndex, COLEDateTime& deleteDate, unsigned long& result);
    GS_RESULT CS_CancelDeleteAvatar(short avatarIndex, unsigned long& result);
    GS_RESULT CS_TryOnSession(short avatarIndex, short value, std::vector<TItem>& items,
                              std::vector<TSkill>& skills, unsigned long& result);
    GS_RESULT CS_EnterSession();
    GS_RESULT CS_LeaveSession();
    GS_RESULT CS_BearAgain(short value);
    GS_RESULT CS_BearAndEnterSession();
    GS_RESULT CS_Warp_SessionIn(short& value1, short& value2, short& value3, short& value4,
                                CNTVector& position, unsigned long& result);
    GS_RESULT CS_Warp_SessionIn_Free(short value, CNTVector& position);
    GS_RESULT CS_Warp_SessionOut();
    GS_RESULT CS_Change_AvatarNickName(CWizCharString<20>& nickname, unsigned long& result);
    GS_RESULT CS_Error(CString& text);

    // Actions in the world (2002-2023).
    GS_RESULT CS_Chat(CWizCharString<200>& text);
    GS_RESULT CS_AvatarMove(CDRVector& drVector, unsigned short aniID, unsigned long time);
    GS_RESULT CS_PutonItem(short from, short to);
    GS_RESULT CS_TakeoffItem(short from, short to);
    GS_RESULT CS_ChooseWeapon(short index);
    GS_RESULT CS_BuyItems(long itemID, short count);
    GS_RESULT CS_BuyItem(long itemID, short count, short index);
    GS_RESULT CS_SellItem(short index);
    GS_RESULT CS_PickupItem(unsigned long worldItemID);
    GS_RESULT CS_DropItem(short index);
    GS_RESULT CS_Avatar_AttackMonster(unsigned long monsterID);
    GS_RESULT CS_ReLocateItemInInventory(short from, short to);
    GS_RESULT CS_Use_Item(short index);
    GS_RESULT CS_Wisper_Chat(unsigned long avatarID, CWizCharString<200>& text);
    GS_RESULT CS_Wisper_Chat_Wide(CWizCharString<20>& nickname, CWizCharString<200>& text);
    GS_RESULT CS_Avatar_AttackArea(CNTVector& position);
    GS_RESULT CS_Avatar_SkillAttackMonster(unsigned long monsterID);
    GS_RESULT CS_Avatar_Reload();
    GS_RESULT CS_UpdateJewelryCollection(short index);
    GS_RESULT CS_Request_ItemUpgrade(short index, long itemID, std::vector<short>& materials,
                                     short value1, short value2, long& upgraded,
                                     unsigned long& result);
    GS_RESULT CS_RepairItem(short index);
    GS_RESULT CS_ExchangeItemInInventory(short from, short to);

    // Parameters of the own avatar (3002-3003).
    GS_RESULT CS_UI_ResetKiSystem(short value1, short value2, short value3);
    GS_RESULT CS_IncParameter(short parameter);

    // Barter and dealing (4001-4005).
    GS_RESULT CS_RequestBarter(unsigned long avatarID);
    GS_RESULT CS_ResponseBarter(unsigned long avatarID, short answer);
    GS_RESULT CS_CancelBarter(unsigned long avatarID);
    GS_RESULT CS_Dealing(unsigned long avatarID, std::vector<TItem>& items,
                         std::vector<TSkill>& skills, long gold);
    GS_RESULT CS_DealSign(unsigned long avatarID);

    // Parties (5001-5005).
    GS_RESULT CS_Request_Make_Party(unsigned long avatarID);
    GS_RESULT CS_Response_Make_Party(unsigned long avatarID, bool accept);
    GS_RESULT CS_Breakwith_Party();
    GS_RESULT CS_Boss_Force_PartyMember_To_Breakwith_Party(CString nickname);
    GS_RESULT CS_Boss_Entrust_PartyMember(CString nickname);

    // Skills (6001-6006); the references are only read.
    GS_RESULT CS_ReLocateSkill(short& from, short& to);
    GS_RESULT CS_ChooseSkill(short& index);
    GS_RESULT CS_BuySkill(long& skillID, short& value1, short& value2);
    GS_RESULT CS_SellSkill(short& index);
    GS_RESULT CS_PickupSkill(unsigned long& skillID);
    GS_RESULT CS_DropSkill(short& index);

    // Game-master commands (9001-9011).
    GS_RESULT CS_GM_Move_To_Avatar(CString nickname, short& zoneID, CNTVector& position,
                                   unsigned long& result);
    GS_RESULT CS_GM_Move_To_Position(short zoneID, CNTVector position, unsigned long& result);
    GS_RESULT CS_GM_Call_Avatar(CString nickname);
    GS_RESULT CS_GM_Transparent(bool on);
    GS_RESULT CS_GM_Prohibit_Avatar_Chatting(CString nickname, int minutes);
    GS_RESULT CS_GM_Get_Avatar_Information(CString nickname, TAvatar& avatar,
                                           TPrivData& privData, unsigned long& result);
    GS_RESULT CS_GM_Purge_Avatar(CString nickname);
    GS_RESULT CS_GM_Change_Level(CString nickname, short level);
    GS_RESULT CS_GM_Give_Skill(CString nickname, int skillID, int value);
    GS_RESULT CS_GM_Give_Item(CString nickname, int itemID, short count);
    GS_RESULT CS_GM_Steal_Item(CString nickname, short index, TItem& item,
                               unsigned long& result);
};

#endif
