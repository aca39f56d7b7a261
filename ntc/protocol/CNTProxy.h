// CNTProxy: the client's outgoing-call object. It reaches the server through
// the client endpoint it is attached to, and keeps the table of requests
// that wait for their reply; while that table is not empty the endpoint's
// receive thread dispatches replies itself.
#ifndef QUILLNTC_CNTPROXY_H
#define QUILLNTC_CNTPROXY_H

#include <map>

#include "NTCExport.h"
#include "transport/CLock.h"

class CNTBase;
class CNTPacket;
class CNestedReply;

class QUILLNTC_API CNTProxy {
public:
    CNTProxy();
    virtual ~CNTProxy();

    // Hands a packet to the server; the base version sends nothing.
    virtual bool Send(CNTPacket& packet);
    virtual void ProcessProxyError();

    // The endpoint the proxy sends through; set when the endpoint attaches
    // the proxy.
    void SetOwner(CNTBase* owner) { m_pOwner = owner; }
    CNTBase* GetOwner() const { return m_pOwner; }

    // The number of requests that wait for their reply.
    size_t GetNestedReplyCount();

protected:
    std::map<short, CNestedReply*> m_NestedReplies;
    unsigned short m_NextSequence;
    CNTBase* m_pOwner;
    CLock m_Lock;
};

#endif
