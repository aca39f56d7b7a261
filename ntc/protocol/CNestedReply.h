// CNestedReply: the record of one request that waits for its reply.
//
// The proxy creates it with a fresh sequence number and registers it in its
// pending-reply table; the dispatcher copies the server's reply packet into
// it and sets its event; the waiting call reads the reply from it and
// releases it through the proxy (CNTProxy::ReleaseNestedReply).
#ifndef QUILLNTC_PROTOCOL_CNESTEDREPLY_H
#define QUILLNTC_PROTOCOL_CNESTEDREPLY_H

#include "NTCExport.h"
#include "transport/CNTPacket.h"

namespace qp {
class Event;
}

class QUILLNTC_API CNestedReply {
public:
    // An empty reply packet, sequence number 0, no event yet.
    CNestedReply();
    // Closes the event if it is still open.
    ~CNestedReply();
    CNestedReply(const CNestedReply&) = delete;
    CNestedReply& operator=(const CNestedReply&) = delete;

    // Creates the reply event: manual reset, not signalled. False when the
    // system could not make one; a wait then fails at once.
    bool CreateReplyEvent();
    void CloseReplyEvent();

    // Stores a copy of the reply (size, cursor and valid bytes), then sets
    // the event. The packet is complete before any waiter can see it.
    void DeliverReply(const CNTPacket& reply);
    // True when the reply was delivered within timeout_ms; false on time-out
    // or when there is no event.
    bool WaitReply(unsigned long timeout_ms);

    unsigned short GetSequence() const { return m_Sequence; }
    void SetSequence(unsigned short sequence) { m_Sequence = sequence; }
    // The reply; read it only after a successful wait.
    CNTPacket& GetReplyPacket() { return m_ReplyPacket; }

    // The connection the request went out on (CNTBase::GetConnectionSerial).
    unsigned long GetConnectionSerial() const { return m_ConnectionSerial; }
    void SetConnectionSerial(unsigned long serial) { m_ConnectionSerial = serial; }
    // Set by the proxy when the call gave up on its reply.
    bool IsAbandoned() const { return m_bAbandoned; }
    void SetAbandoned() { m_bAbandoned = true; }

private:
    unsigned short m_Sequence;
    unsigned long m_ConnectionSerial;
    bool m_bAbandoned;
    qp::Event* m_pReplyEvent;
    CNTPacket m_ReplyPacket;
};

#endif
