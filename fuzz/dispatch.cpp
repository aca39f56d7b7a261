// Hands arbitrary packets to the server message dispatcher, with a proxy
// that waits for a reply and a stub that checks and reads every argument:
// no crash, no read outside the packet, no list handed to a callback past
// the count bound, and no text or appearance larger than the packet could
// carry.
//
// The first input byte steers: odd, and the next byte picks a message number
// the dispatcher knows and the rest is its payload; even, and the rest is
// the whole packet, header included.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "objects/GameObjects.h"
#include "protocol/CNTMainClient.h"
#include "protocol/CNTProxy.h"
#include "protocol/CNestedReply.h"
#include "protocol/WireLists.h"
#include "support/forwarding_stub.h"
#include "transport/CNTPacket.h"

namespace {

const uint16_t kNumbers[] = {
    508,   10002, 10003, 10004, 10005, 10006, 10007, 10008, 12002, 12003, 12004, 12005, 12006,
    12007, 12008, 12009, 12010, 12011, 12012, 13002, 13003, 13004, 13005, 13006, 13007, 13008,
    13009, 13010, 14002, 14003, 14004, 14005, 14006, 14007, 14008, 14009, 14010, 14011, 14012,
    14013, 15002, 15003, 16006, 16007, 16008, 16009, 16010, 16011, 16012, 16013, 16014, 16015,
    16016, 16017, 16018, 16019, 16020, 16021, 16022, 16023, 16024, 16025, 16026, 17002, 17003,
    18001, 19001, 20001, 21001, 21002, 21003, 21004, 21005, 21006, 21007, 21008, 21009, 21010,
    21011, 29001, 29002, 29003, 50001, 50002, 50003, 50004, 50005, 60001, 60002};

void require(bool condition) {
    if (!condition)
        abort();
}

// Reads every argument, and checks that none is larger than the packet.
struct CheckingSink {
    unsigned packetSize = 0;
    volatile unsigned long seen = 0;

    template <typename... Args> void operator()(const char*, Args&... args) { (touch(args), ...); }

    void touch(unsigned char value) { seen += value; }
    void touch(short value) { seen += static_cast<unsigned short>(value); }
    void touch(unsigned long value) { seen += value; }
    void touch(float value) { seen += value > 0.0f; }
    template <size_t N> void touch(CWizCharString<N>& text) {
        require(text.GetLength() <= N);
        seen += text.GetLength();
    }
    void touch(CString& text) {
        require(static_cast<unsigned>(text.GetLength()) <= packetSize);
        seen += strlen(text);
    }
    void touch(const CNTVector& vector) { touch(vector.x + vector.z); }
    void touch(CDRVector& movement) {
        touch(movement.GetPos());
        touch(movement.GetSpeed());
    }
    // Summed as unsigned: the values are the server's, any size.
    void touch(TPrivData& data) {
        seen += static_cast<unsigned long>(data.GetLevel()) +
                static_cast<unsigned long>(data.GetExp());
    }
    void touch(TObject& object) {
        seen += object.GetID() + object.GetType();
        touch(*object.GetDRVector());
    }
    void touch(TAvatar& avatar) {
        touch(static_cast<TObject&>(avatar));
        touch(avatar.GetNickname());
        require(avatar.GetAppearance().size() * 4 <= packetSize);
        for (long value : avatar.GetAppearance())
            seen += static_cast<unsigned long>(value);
    }
    void touch(TMonster& monster) {
        touch(static_cast<TObject&>(monster));
        touch(monster.GetMonHP());
    }
    void touch(TWorldItem& item) {
        touch(static_cast<TObject&>(item));
        seen += item.GetWorldItemID();
    }
    void touch(TItem& item) { seen += item.GetItemID() + item.GetItemCount(); }
    void touch(TSkill& skill) { seen += skill.GetSkillID() + skill.GetSkillExp(); }
    void touch(sGS& server) { seen += server.Value1 + server.Value2; }
    template <typename T> void touch(std::vector<T>& list) {
        require(list.size() <= ntc_wire::MAX_LIST_COUNT);
        for (T& element : list)
            touch(element);
    }
};

class FuzzClient : public CNTMainClient {
public:
    void ProcessConnectionLost() override {}
    // The answer to a clock synchronisation goes nowhere.
    unsigned long SendToServer(CNTPacket&) override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzClient client;
    static quill_test::ForwardingStub<CheckingSink> stub;
    if (size < 1)
        return 0;

    std::vector<uint8_t> wire;
    if (data[0] & 1) {
        if (size < 2)
            return 0;
        const uint16_t number = kNumbers[data[1] % (sizeof kNumbers / sizeof kNumbers[0])];
        wire = {static_cast<uint8_t>(number & 0xFF), static_cast<uint8_t>(number >> 8), 0, 0};
        wire.insert(wire.end(), data + 2, data + size);
    } else {
        wire.assign(data + 1, data + size);
    }
    if (wire.size() > CNTPacket::MAX_PACKET_SIZE)
        wire.resize(CNTPacket::MAX_PACKET_SIZE);
    if (wire.size() >= 4 && (data[0] & 1)) {
        wire[2] = static_cast<uint8_t>(wire.size() & 0xFF);
        wire[3] = static_cast<uint8_t>(wire.size() >> 8);
    }

    CNTPacket packet;
    packet.Write(wire.data(), static_cast<unsigned short>(wire.size()));
    packet.SetBufPoint(0);

    CNTProxy proxy;
    client.Attach(&proxy);
    client.Attach(&stub);
    stub.sink.packetSize = static_cast<unsigned>(wire.size());
    // Sequence number 1: the one a fresh proxy gives its first call.
    CNestedReply* reply = proxy.PreNestedRequestReply();
    client.ProcessPacketFromServer(packet);
    require(packet.GetBufPoint() <= packet.GetBufSize());
    if (reply && reply->WaitReply(0)) {
        CNTPacket& answer = reply->GetReplyPacket();
        require(answer.GetBufSize() == packet.GetBufSize());
        unsigned long field = 0;
        answer >> field;
    }
    proxy.ReleaseNestedReply(reply);
    client.Attach(static_cast<CNTProxy*>(nullptr));
    return 0;
}
