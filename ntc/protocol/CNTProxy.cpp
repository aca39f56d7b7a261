#include "protocol/CNTProxy.h"

#include <new>

#include "protocol/CNestedReply.h"
#include "quill/platform/sync.h"
#include "transport/CNTBase.h"
#include "transport/Trace.h"

CNTProxy::CNTProxy() : m_NextSequence(1), m_pOwner(nullptr), m_ReplyWaitMs(REPLY_WAIT_MS) {}

CNTProxy::~CNTProxy() {
    // What is left belongs to calls that gave up waiting: nobody else
    // refers to these records any more.
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    for (auto& entry : m_NestedReplies)
        delete entry.second;
    m_NestedReplies.clear();
}

bool CNTProxy::Send(CNTPacket&) {
    return true;
}

void CNTProxy::ProcessProxyError() {}

CNestedReply* CNTProxy::PreNestedRequestReply() {
    CNestedReply* reply = new (std::nothrow) CNestedReply;
    if (!reply)
        return nullptr;
    // Without an event the wait fails at once, which counts as a time-out.
    reply->CreateReplyEvent();
    if (m_pOwner)
        reply->SetConnectionSerial(m_pOwner->GetConnectionSerial());

    m_Lock.Enter();
    reply->SetSequence(m_NextSequence);
    // A key still taken keeps its older record; the new one stays out.
    m_NestedReplies.insert(std::make_pair(static_cast<short>(m_NextSequence), reply));
    if (static_cast<short>(m_NextSequence) < LAST_SEQUENCE)
        ++m_NextSequence;
    else
        m_NextSequence = 1;
    m_Lock.Leave();
    return reply;
}

bool CNTProxy::WaitForNestedRequestReply(CNestedReply* reply) {
    if (!reply->WaitReply(m_ReplyWaitMs)) {
        TRACE("Reply Error!!!\n");
        // A request of a connection that has ended must not close the next.
        if (!m_pOwner || m_pOwner->GetConnectionSerial() == reply->GetConnectionSerial())
            ProcessProxyError();
        return false;
    }
    m_Lock.Enter();
    m_NestedReplies.erase(static_cast<short>(reply->GetSequence()));
    m_Lock.Leave();
    return true;
}

void CNTProxy::ReleaseNestedReply(CNestedReply* reply) {
    if (!reply)
        return;
    const bool connection_ended =
        m_pOwner && m_pOwner->GetConnectionSerial() != reply->GetConnectionSerial();
    m_Lock.Enter();
    auto found = m_NestedReplies.find(static_cast<short>(reply->GetSequence()));
    bool kept = found != m_NestedReplies.end() && found->second == reply;
    if (kept && connection_ended) {
        // No late reply can come over a closed connection.
        m_NestedReplies.erase(found);
        kept = false;
    } else if (kept) {
        reply->SetAbandoned();
    }
    m_Lock.Leave();
    if (!kept)
        delete reply;
}

void CNTProxy::DropAbandonedReplies() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    for (auto entry = m_NestedReplies.begin(); entry != m_NestedReplies.end();) {
        if (entry->second && entry->second->IsAbandoned()) {
            delete entry->second;
            entry = m_NestedReplies.erase(entry);
        } else {
            ++entry;
        }
    }
}

bool CNTProxy::DeliverNestedReply(unsigned short sequence, const CNTPacket& packet) {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    auto found = m_NestedReplies.find(static_cast<short>(sequence));
    if (found == m_NestedReplies.end())
        return false;
    found->second->DeliverReply(packet);
    return true;
}

size_t CNTProxy::GetNestedReplyCount() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    return m_NestedReplies.size();
}

unsigned short CNTProxy::GetNextSequence() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    return m_NextSequence;
}
