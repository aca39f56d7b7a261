#include "protocol/CNTProxy.h"

CNTProxy::CNTProxy() : m_NextSequence(1), m_pOwner(nullptr) {}

CNTProxy::~CNTProxy() {
    // Records still waiting belong to the calls that made them.
    m_NestedReplies.clear();
}

bool CNTProxy::Send(CNTPacket&) {
    return true;
}

void CNTProxy::ProcessProxyError() {}

size_t CNTProxy::GetNestedReplyCount() {
    m_Lock.Enter();
    const size_t count = m_NestedReplies.size();
    m_Lock.Leave();
    return count;
}
