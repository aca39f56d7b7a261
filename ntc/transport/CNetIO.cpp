#include "transport/CNetIO.h"

#include <string.h>

#include "quill/platform/sync.h"
#include "transport/CDebug.h"

namespace {

unsigned short u16_at(const char* buffer, int offset) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer) + offset;
    return static_cast<unsigned short>(bytes[0] | (bytes[1] << 8));
}

} // namespace

CNetIO::CNetIO() : m_RecvEvent(nullptr), m_SendEvent(nullptr) {
    Init();
}

CNetIO::CNetIO(const CNetIO& other) : m_RecvEvent(nullptr), m_SendEvent(nullptr) {
    Init();
    *this = other;
}

CNetIO& CNetIO::operator=(const CNetIO& other) {
    if (this == &other)
        return *this;
    memcpy(m_RecvBuf, other.m_RecvBuf, sizeof m_RecvBuf);
    m_BytesHeld = other.m_BytesHeld;
    m_BytesWanted = other.m_BytesWanted;
    m_ReadState = other.m_ReadState;
    m_MessageLength = other.m_MessageLength;
    m_Socket = other.m_Socket;
    m_SendBytes = other.m_SendBytes;
    m_RecvBytes = other.m_RecvBytes;
    return *this;
}

CNetIO::~CNetIO() {
    ReleaseEvents();
}

void CNetIO::CreateEvents() {
    ReleaseEvents();
    m_RecvEvent = new qp::Event(false, false);
    m_SendEvent = new qp::Event(false, false);
}

void CNetIO::ReleaseEvents() {
    delete m_RecvEvent;
    delete m_SendEvent;
    m_RecvEvent = nullptr;
    m_SendEvent = nullptr;
}

void CNetIO::Init() {
    memset(&m_OverlappedIn, 0, sizeof m_OverlappedIn);
    memset(&m_OverlappedOut, 0, sizeof m_OverlappedOut);
    memset(m_RecvBuf, 0, sizeof m_RecvBuf);
    CreateEvents();
    m_OverlappedIn.overlapped.hEvent = m_RecvEvent->native_handle();
    m_OverlappedOut.overlapped.hEvent = m_SendEvent->native_handle();
    m_OverlappedIn.operation = OPERATION_RECV;
    m_OverlappedOut.operation = OPERATION_SEND;
    AttachClientToOVERLAPPED(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(this)));
    m_BytesHeld = 0;
    m_ReadState = 0;
    m_MessageLength = 0;
    m_SendBytes = 0;
    m_RecvBytes = 0;
    m_Socket = INVALID_SOCKET_VALUE;
    m_BytesWanted = HEADER_SIZE;
}

void CNetIO::ResetFraming() {
    // Only the current packet's bytes can be non-zero.
    const unsigned long used = m_BytesHeld > m_MessageLength ? m_BytesHeld : m_MessageLength;
    memset(m_RecvBuf, 0, used < sizeof m_RecvBuf ? used : sizeof m_RecvBuf);
    m_BytesHeld = 0;
    m_ReadState = 0;
    m_MessageLength = 0;
    m_BytesWanted = HEADER_SIZE;
}

void CNetIO::AttachClientToOVERLAPPED(unsigned long client) {
    m_OverlappedIn.client = client;
    m_OverlappedOut.client = client;
}

unsigned long CNetIO::CollectPacket(unsigned long bytes) {
    if (m_ReadState == 1) {
        if (m_BytesWanted < bytes) {
            CDebug::AppendDebugMsg("원하는 길이보다 더 긴 메시지가 왔다. 메시지 길이 : %d\n",
                                   static_cast<int>(bytes));
            return NET_ERROR;
        }
        m_BytesWanted -= bytes;
        m_BytesHeld += bytes;
        return m_BytesWanted > 0 ? MORE_WANTED : PACKET_COMPLETE;
    }

    // A receive never asks for more than the rest of the header, so a larger
    // count (or one that wraps the sum) is a stream we did not ask for.
    if (bytes > HEADER_SIZE || m_BytesHeld + bytes > HEADER_SIZE) {
        CDebug::AppendDebugMsg("헤더길이가 4바이트 보다 크다\n");
        return NET_ERROR;
    }
    const unsigned long total = m_BytesHeld + bytes;
    if (total < HEADER_SIZE) {
        m_BytesHeld = total;
        m_BytesWanted = HEADER_SIZE - total;
        return MORE_WANTED;
    }

    const unsigned short message = u16_at(m_RecvBuf, 0);
    if (message <= 100 || message >= 62001)
        CDebug::AppendDebugMsg("패킷의 메시지 번호가 이상하다. 메시지 번호 : %d\n", message);
    const unsigned short length = u16_at(m_RecvBuf, 2);
    if (length > RECV_BUFFER_SIZE) {
        CDebug::AppendDebugMsg("메시지가 너무 길다. 패킷번호 : %d --- 메시지길이 : %d\n", message,
                               length);
        return NET_ERROR;
    }
    // A length below the header's own size would ask for a negative body.
    if (length < HEADER_SIZE) {
        CDebug::AppendDebugMsg("메시지가 너무 짧다. 패킷번호 : %d --- 메시지길이 : %d\n", message,
                               length);
        return NET_ERROR;
    }
    m_BytesHeld = HEADER_SIZE;
    m_BytesWanted = length - HEADER_SIZE;
    m_ReadState = 1;
    m_MessageLength = length;
    return m_BytesWanted > 0 ? MORE_WANTED : PACKET_COMPLETE;
}

void CNetIO::AddSendBytes(unsigned long bytes) {
    m_Lock.Enter();
    m_SendBytes += bytes;
    m_Lock.Leave();
}

void CNetIO::AddRecvBytes(unsigned long bytes) {
    m_Lock.Enter();
    m_RecvBytes += bytes;
    m_Lock.Leave();
}

void CNetIO::InitSendBytes() {
    m_Lock.Enter();
    m_SendBytes = 0;
    m_Lock.Leave();
}

void CNetIO::InitRecvBytes() {
    m_Lock.Enter();
    m_RecvBytes = 0;
    m_Lock.Leave();
}

unsigned long CNetIO::GetSendBytes() {
    m_Lock.Enter();
    const unsigned long bytes = m_SendBytes;
    m_Lock.Leave();
    return bytes;
}

unsigned long CNetIO::GetRecvBytes() {
    m_Lock.Enter();
    const unsigned long bytes = m_RecvBytes;
    m_Lock.Leave();
    return bytes;
}
