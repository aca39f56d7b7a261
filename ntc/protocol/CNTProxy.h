// CNTProxy: the client's outgoing-call object. It reaches the server through
// the client endpoint it is attached to, and keeps the table of requests
// that wait for their reply; while that table is not empty the endpoint's
// receive thread dispatches replies itself.
//
// A call that expects a reply:
//   CNestedReply* reply = PreNestedRequestReply();      // null: GS_FAIL
//   packet << number << 0 << reply->GetSequence() << fields;
//   Send(packet);
//   if (WaitForNestedRequestReply(reply)) read reply->GetReplyPacket();
//   ReleaseNestedReply(reply);
// The dispatcher hands every reply message to DeliverNestedReply.
#ifndef QUILLNTC_CNTPROXY_H
#define QUILLNTC_CNTPROXY_H

#include <atomic>
#include <map>

#include "NTCExport.h"
#include "transport/CLock.h"

class CNTBase;
class CNTPacket;
class CNestedReply;

class QUILLNTC_API CNTProxy {
public:
    enum {
        REPLY_WAIT_MS = 20000, // how long a call waits for its reply
        LAST_SEQUENCE = 10000  // sequence numbers run 1 .. 10000, 1, ...
    };

    CNTProxy();
    // Frees the records still in the pending-reply table (those of calls
    // that timed out); they are not signalled.
    virtual ~CNTProxy();
    CNTProxy(const CNTProxy&) = delete;
    CNTProxy& operator=(const CNTProxy&) = delete;

    // Hands a packet to the server; the base version sends nothing and
    // returns true.
    virtual bool Send(CNTPacket& packet);
    // Called when a send failed or a reply did not come; the base version
    // does nothing.
    virtual void ProcessProxyError();

    // The endpoint the proxy sends through; set when the endpoint attaches
    // the proxy.
    void SetOwner(CNTBase* owner) { m_pOwner = owner; }
    CNTBase* GetOwner() const { return m_pOwner; }

    // Creates a record with the next sequence number and registers it in
    // the pending-reply table. If that number is still taken (by a record
    // whose call timed out) the new record is not registered. Null when the
    // record cannot be allocated; nothing is registered then.
    CNestedReply* PreNestedRequestReply();
    // Blocks until the record's reply has been delivered or the reply wait
    // has passed. True: the reply is in the record and its table entry is
    // gone. False: "Reply Error!!!" to TRACE, ProcessProxyError() (unless
    // the connection the request went out on has ended already), and the
    // record stays in the table (a late reply is still delivered into it).
    bool WaitForNestedRequestReply(CNestedReply* reply);
    // Ends a record's use by its call: frees it unless it is still in the
    // pending-reply table (its call gave up waiting), in which case the
    // proxy keeps it for a late reply until its connection ends. Call it
    // exactly once per record, after the wait.
    void ReleaseNestedReply(CNestedReply* reply);
    // The owner's connection ended: the records kept for late replies go,
    // so that only calls that really wait keep the table from being empty.
    void DropAbandonedReplies();

    // For the dispatcher: copies the packet (size, cursor and valid bytes)
    // into the pending record with this sequence number and sets its event.
    // False, and nothing happens, when no record has that number.
    bool DeliverNestedReply(unsigned short sequence, const CNTPacket& packet);

    // The number of requests that wait for their reply.
    size_t GetNestedReplyCount();
    // The number the next record receives.
    unsigned short GetNextSequence();

    // How long a call waits for its reply, in milliseconds (REPLY_WAIT_MS
    // unless changed, for example by a test).
    void SetReplyWaitTime(unsigned long ms) { m_ReplyWaitMs = ms; }
    unsigned long GetReplyWaitTime() const { return m_ReplyWaitMs; }

protected:
    std::map<short, CNestedReply*> m_NestedReplies;
    unsigned short m_NextSequence;
    CNTBase* m_pOwner;
    CLock m_Lock;
    std::atomic<unsigned long> m_ReplyWaitMs;
};

#endif
