// Arbitrary bytes as the server's reply to a call of the game protocol. The
// first byte picks the call; the rest follows the sequence number in the
// reply. A call either succeeds, every list within the count bound and
// every text within what the reply could carry, or fails with result 3; the
// reader never leaves the reply's bytes.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "objects/GameObjects.h"
#include "protocol/CNTProxy_CLToGS.h"
#include "protocol/WireLists.h"
#include "transport/CNTPacket.h"

namespace {

void require(bool condition) {
    if (!condition)
        abort();
}

// Answers every request at once with the fuzzer's bytes.
class AnsweringProxy : public CNTProxy_CLToGS {
public:
    const uint8_t* payload = nullptr;
    unsigned short payload_size = 0;
    unsigned short reply_size = 0;

    bool Send(CNTPacket& request) override {
        CNTPacket sent = request;
        sent.SetBufPoint(0);
        unsigned short number = 0, length = 0, sequence = 0;
        sent >> number >> length >> sequence;
        CNTPacket reply;
        reply << number << static_cast<unsigned short>(0) << sequence;
        reply.Write(payload, payload_size);
        reply_size = reply.GetBufSize();
        reply.SetBufPoint(CNTPacket::HEADER_SIZE + 2);
        DeliverNestedReply(sequence, reply);
        return true;
    }
};

template <class T> void require_bounded(const std::vector<T>& list) {
    require(list.size() <= ntc_wire::MAX_LIST_COUNT);
}

void require_outcome(GS_RESULT outcome, unsigned long result) {
    require(outcome == GS_OK || (outcome == GS_FAIL && result == GS_FAIL));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    AnsweringProxy proxy;
    proxy.payload = data + 1;
    const size_t room = CNTPacket::MAX_PACKET_SIZE - CNTPacket::HEADER_SIZE - 2;
    proxy.payload_size = static_cast<unsigned short>(size - 1 < room ? size - 1 : room);
    const unsigned payload = proxy.payload_size;
    unsigned long result = 0;
    CString first("account"), second("secret");
    switch (data[0] % 6) {
    case 0: {
        unsigned short value = 0;
        std::vector<TAvatar> avatars;
        std::vector<TPrivData> privData;
        const GS_RESULT outcome = proxy.CS_Logon(first, second, value, avatars, privData, result);
        require_outcome(outcome, result);
        require_bounded(avatars);
        require_bounded(privData);
        for (TAvatar& avatar : avatars) {
            require(static_cast<unsigned>(avatar.GetNickname().GetLength()) <= payload);
            require(avatar.GetAppearance().size() * 4 <= payload);
        }
        break;
    }
    case 1: {
        std::vector<TItem> items;
        std::vector<TSkill> skills;
        const GS_RESULT outcome = proxy.CS_TryOnSession(1, 2, items, skills, result);
        require_outcome(outcome, result);
        require_bounded(items);
        require_bounded(skills);
        break;
    }
    case 2: {
        COLEDateTime date;
        const GS_RESULT outcome = proxy.CS_DeleteAvatar(1, date, result);
        require_outcome(outcome, result);
        date.GetYear();
        break;
    }
    case 3: {
        short a = 0, b = 0, c = 0, d = 0;
        CNTVector position;
        const GS_RESULT outcome = proxy.CS_Warp_SessionIn(a, b, c, d, position, result);
        require_outcome(outcome, result);
        break;
    }
    case 4: {
        TAvatar avatar;
        TPrivData privData;
        const GS_RESULT outcome =
            proxy.CS_GM_Get_Avatar_Information(first, avatar, privData, result);
        require_outcome(outcome, result);
        require(static_cast<unsigned>(avatar.GetNickname().GetLength()) <= payload);
        require(avatar.GetAppearance().size() * 4 <= payload);
        break;
    }
    default: {
        TItem item;
        const GS_RESULT outcome = proxy.CS_GM_Steal_Item(first, 3, item, result);
        require_outcome(outcome, result);
        break;
    }
    }
    require(proxy.GetNestedReplyCount() == 0);
    return 0;
}
