#include "protocol/CNestedReply.h"

#include <new>

#include "quill/platform/sync.h"

CNestedReply::CNestedReply()
    : m_Sequence(0), m_ConnectionSerial(0), m_bAbandoned(false), m_pReplyEvent(nullptr) {}

CNestedReply::~CNestedReply() {
    CloseReplyEvent();
}

bool CNestedReply::CreateReplyEvent() {
    CloseReplyEvent();
    m_pReplyEvent = new (std::nothrow) qp::Event(true, false);
    return m_pReplyEvent != nullptr;
}

void CNestedReply::CloseReplyEvent() {
    delete m_pReplyEvent;
    m_pReplyEvent = nullptr;
}

void CNestedReply::DeliverReply(const CNTPacket& reply) {
    m_ReplyPacket = reply;
    if (m_pReplyEvent)
        m_pReplyEvent->set();
}

bool CNestedReply::WaitReply(unsigned long timeout_ms) {
    if (!m_pReplyEvent)
        return false;
    const uint32_t limit = timeout_ms >= qp::kWaitForever ? qp::kWaitForever - 1
                                                          : static_cast<uint32_t>(timeout_ms);
    return m_pReplyEvent->wait(limit);
}
