#include "protocol/CNTMainClient.h"

#include <stddef.h>

#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <vector>

#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "objects/GameObjects.h"
#include "objects/TPrivData.h"
#include "protocol/CNTProxy.h"
#include "protocol/CNTStub.h"
#include "protocol/WireLists.h"
#include "transport/CDebug.h"
#include "transport/CNTPacket.h"
#include "transport/CString.h"
#include "transport/Trace.h"

namespace {

enum : unsigned short { NET_TIME_SYNC = 10005 };

bool is_reply(unsigned short message) {
    switch (message) {
    case 10002:
    case 10003:
    case 10004:
    case 10006:
    case 10007:
    case 10008:
    case 12010:
    case 16024:
    case 21001:
    case 21002:
    case 21005:
    case 21011:
        return true;
    default:
        return false;
    }
}

// One message being decoded: the packet, and the room some lists reserve
// before they are read, taken by the lists in the order they come.
class Decoding {
public:
    Decoding(CNTPacket& packet, unsigned short message, CNTStub_GSToCL* stub)
        : m_packet(packet), m_message(message), m_stub(stub), m_room(nullptr), m_roomLeft(0) {}

    CNTPacket& Packet() { return m_packet; }
    CNTStub_GSToCL* Stub() const { return m_stub; }

    void SetRoom(std::initializer_list<unsigned short> room) {
        m_room = room.begin();
        m_roomLeft = room.size();
    }
    size_t NextRoom() {
        if (m_roomLeft == 0)
            return 0;
        --m_roomLeft;
        return *m_room++;
    }

    // The count of a list that no packet can carry (32768 or more).
    void Refuse(unsigned count) {
        CDebug::AppendDebugMsg(
            "Warnning!!! Message Type %d dropped: list count %u, %d bytes left\n", m_message, count,
            m_packet.GetBufSize() - m_packet.GetBufPoint());
    }

private:
    CNTPacket& m_packet;
    unsigned short m_message;
    CNTStub_GSToCL* m_stub;
    const unsigned short* m_room;
    size_t m_roomLeft;
};

// Numbers and records: their own packet operators. A field past the end of
// the packet keeps the value it was constructed with (zero for numbers).
template <typename T> bool read_field(Decoding& decoding, T& field) {
    decoding.Packet() >> field;
    return true;
}

// A text of at most N bytes: the count, the bytes kept, the rest skipped.
template <size_t N> bool read_field(Decoding& decoding, CWizCharString<N>& text) {
    CNTPacket& packet = decoding.Packet();
    unsigned short count = 0;
    packet >> count;
    if (count == 0)
        return true;
    const unsigned short kept = count < N ? count : static_cast<unsigned short>(N);
    char* buffer = text.GetBuffer();
    const int got = packet.Read(buffer, kept);
    buffer[got > 0 ? got : 0] = '\0';
    if (kept < count)
        packet.SkipRead(static_cast<unsigned short>(count - kept));
    return true;
}

// A list: a 16-bit count, then that many elements.
template <typename T> bool read_field(Decoding& decoding, std::vector<T>& list) {
    const size_t room = decoding.NextRoom();
    if (room > 0)
        list.reserve(room);
    unsigned count = 0;
    if (ntc_wire::ReadList(decoding.Packet(), list, &count))
        return true;
    decoding.Refuse(count);
    return false;
}

// Decodes the callback's arguments from the packet into locals, in order,
// and calls it; a refused list drops the message without a call.
template <typename... Args>
void deliver(Decoding& decoding, void (CNTStub_GSToCL::*callback)(Args...),
             std::initializer_list<unsigned short> room = {}) {
    CNTStub_GSToCL* stub = decoding.Stub();
    if (!stub)
        return;
    decoding.SetRoom(room);
    std::tuple<std::remove_reference_t<Args>...> fields{};
    const bool complete = std::apply(
        [&decoding](auto&... field) { return (read_field(decoding, field) && ...); }, fields);
    if (!complete)
        return;
    std::apply([stub, callback](auto&... field) { (stub->*callback)(field...); }, fields);
}

// False for a message number that no callback takes.
bool dispatch_to_stub(Decoding& decoding, unsigned short message) {
    typedef CNTStub_GSToCL S;
    // clang-format off
    switch (message) {
    case 29001: deliver(decoding, &S::SC_Message29001); break;
    case 29002: deliver(decoding, &S::SC_Message29002); break;
    case 14002: deliver(decoding, &S::SC_AvatarList, {60}); break;
    case 14003: deliver(decoding, &S::SC_ObjectLists, {100, 100, 100}); break;
    case 14004: deliver(decoding, &S::SC_WorldItemList); break;
    case 14005: deliver(decoding, &S::SC_MonsterList); break;
    case 14006: deliver(decoding, &S::SC_NPCList); break;
    case 14007: deliver(decoding, &S::SC_Avatar); break;
    case 14008: deliver(decoding, &S::SC_WorldItem); break;
    case 14009: deliver(decoding, &S::SC_Monster); break;
    case 14010: deliver(decoding, &S::SC_NPC); break;
    case 14011: deliver(decoding, &S::SC_Message14011); break;
    case 14012: deliver(decoding, &S::SC_Message14012, {5}); break;
    case 14013: deliver(decoding, &S::SC_Message14013); break;
    case 12002: deliver(decoding, &S::SC_Chat); break;
    case 12003: deliver(decoding, &S::SC_AvatarMove); break;
    case 12004: deliver(decoding, &S::SC_Message12004); break;
    case 12005: deliver(decoding, &S::SC_Message12005); break;
    case 12006: deliver(decoding, &S::SC_Message12006); break;
    case 12012: deliver(decoding, &S::SC_AttackResult, {50, 50, 50}); break;
    case 12008: deliver(decoding, &S::SC_Message12008); break;
    case 12007: deliver(decoding, &S::SC_Message12007); break;
    case 15003: deliver(decoding, &S::SC_Message15003); break;
    case 12009: deliver(decoding, &S::SC_Message12009); break;
    case 20001: deliver(decoding, &S::SC_Message20001); break;
    case 16015: deliver(decoding, &S::SC_Wisper_Chat); break;
    case 16016: deliver(decoding, &S::SC_Wisper_Chat_Wide); break;
    case 29003: deliver(decoding, &S::SC_Message29003); break;
    case 13002: deliver(decoding, &S::SC_PrivData); break;
    case 13006: deliver(decoding, &S::SC_Message13006); break;
    case 13003: deliver(decoding, &S::SC_Message13003); break;
    case 13004: deliver(decoding, &S::SC_Message13004); break;
    case 13005: deliver(decoding, &S::SC_Message13005); break;
    case 13008: deliver(decoding, &S::SC_Message13008); break;
    case 13010: deliver(decoding, &S::SC_Message13010); break;
    case 15002: deliver(decoding, &S::SC_Message15002); break;
    case 18001: deliver(decoding, &S::SC_Message18001); break;
    case 19001: deliver(decoding, &S::SC_Message19001); break;
    case 17002: deliver(decoding, &S::SC_Message17002); break;
    case 16007: deliver(decoding, &S::SC_Message16007); break;
    case 16008: deliver(decoding, &S::SC_Message16008); break;
    case 16009: deliver(decoding, &S::SC_Message16009); break;
    case 16026: deliver(decoding, &S::SC_Message16026); break;
    case 16010: deliver(decoding, &S::SC_Message16010); break;
    case 16014: deliver(decoding, &S::SC_Message16014); break;
    case 16025: deliver(decoding, &S::SC_Message16025); break;
    case 16017: deliver(decoding, &S::SC_Message16017); break;
    case 16018: deliver(decoding, &S::SC_Message16018); break;
    case 16022: deliver(decoding, &S::SC_Message16022); break;
    case 16023: deliver(decoding, &S::SC_Message16023); break;
    case 16019: deliver(decoding, &S::SC_Message16019); break;
    case 17003: deliver(decoding, &S::SC_Message17003); break;
    case 13007: deliver(decoding, &S::SC_Message13007); break;
    case 16006: deliver(decoding, &S::SC_Message16006); break;
    case 16013: deliver(decoding, &S::SC_Message16013); break;
    case 508: deliver(decoding, &S::SC_GSList); break;
    case 50001: deliver(decoding, &S::SC_Message50001, {100, 100}); break;
    case 50002: deliver(decoding, &S::SC_Message50002); break;
    case 50003: deliver(decoding, &S::SC_Message50003); break;
    case 50004: deliver(decoding, &S::SC_Message50004); break;
    case 50005: deliver(decoding, &S::SC_Message50005, {100, 100}); break;
    case 60001: deliver(decoding, &S::SC_Message60001); break;
    case 60002: deliver(decoding, &S::SC_Message60002); break;
    case 16020: deliver(decoding, &S::SC_Message16020); break;
    case 16021: deliver(decoding, &S::SC_Message16021, {300, 100}); break;
    case 21003: deliver(decoding, &S::SC_Message21003); break;
    case 21004: deliver(decoding, &S::SC_Message21004); break;
    case 21006: deliver(decoding, &S::SC_Message21006); break;
    case 21007: deliver(decoding, &S::SC_Message21007); break;
    case 21008: deliver(decoding, &S::SC_Message21008); break;
    case 21009: deliver(decoding, &S::SC_Message21009); break;
    case 21010: deliver(decoding, &S::SC_Message21010); break;
    default:
        return false;
    }
    // clang-format on
    return true;
}

} // namespace

CNTMainClient::CNTMainClient() {}

CNTMainClient::~CNTMainClient() {}

unsigned long CNTMainClient::ProcessPacketFromServer(CNTPacket& packet) {
    unsigned short message = 0, length = 0;
    packet >> message >> length;
    if (is_reply(message)) {
        unsigned short sequence = 0;
        packet >> sequence;
        // The record takes the packet with its cursor after the sequence
        // number, where the waiting call starts reading. An unknown number
        // is dropped.
        if (CNTProxy* proxy = GetProxy())
            proxy->DeliverNestedReply(sequence, packet);
        return 0;
    }
    if (message == NET_TIME_SYNC) {
        unsigned long serverTime = 0, latency = 0;
        packet >> serverTime >> latency;
        SC_SetNetTime(serverTime, latency);
        return 0;
    }
    // The only stub there is to attach is a CNTStub_GSToCL.
    Decoding decoding(packet, message, static_cast<CNTStub_GSToCL*>(GetStub()));
    if (!dispatch_to_stub(decoding, message))
        TRACE("Warnning!!! Strange Message Type %d\n", message);
    return 0;
}
