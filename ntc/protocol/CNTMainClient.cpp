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
#include "protocol/Messages.h"
#include "protocol/WireLists.h"
#include "transport/CDebug.h"
#include "transport/CNTPacket.h"
#include "transport/CString.h"
#include "transport/Trace.h"

namespace {

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
    switch (message) {
#define QUILL_NTC_DISPATCH(NUMBER, CALLBACK_NAME, ROOM)                         \
    case NUMBER:                                                               \
        deliver(decoding, &S::CALLBACK_NAME, {QUILL_NTC_FIELDS ROOM});          \
        break;
        QUILL_NTC_CALLBACKS(QUILL_NTC_DISPATCH)
#undef QUILL_NTC_DISPATCH
    default:
        return false;
    }
    return true;
}

} // namespace

CNTMainClient::CNTMainClient() {}

CNTMainClient::~CNTMainClient() {}

unsigned long CNTMainClient::ProcessPacketFromServer(CNTPacket& packet) {
    unsigned short message = 0, length = 0;
    packet >> message >> length;
    if (ntc_msg::IsReplyNumber(message)) {
        unsigned short sequence = 0;
        packet >> sequence;
        // The record takes the packet with its cursor after the sequence
        // number, where the waiting call starts reading. An unknown number
        // is dropped.
        if (CNTProxy* proxy = GetProxy())
            proxy->DeliverNestedReply(sequence, packet);
        return 0;
    }
    if (message == ntc_msg::NET_TIME_SYNC) {
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
