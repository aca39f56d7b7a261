#include "transport/CNetIO.h"

#include <string.h>

#include "quill/platform/socket.h"
#include "quill/platform/sync.h"
#include "transport/CDebug.h"
#include "transport/Trace.h"

namespace {

unsigned short u16_at(const char* buffer, int offset) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer) + offset;
    return static_cast<unsigned short>(bytes[0] | (bytes[1] << 8));
}

// The log text of a send or receive error, after its prefix; null for codes
// without one.
const char* error_text(int code) {
    switch (code) {
    case 10052:
        return "The connection has been broken due to 'keep-alive' activity detecting a failure "
               "while the operation was in progress.\n";
    case 995:
        return "The overlapped operation has been canceled due to the closure of the socket, or "
               "the execution of the SIO_FLUSH command in WSAIoctl.\n";
    case 10035:
        return "Overlapped sockets: There are too many outstanding overlapped I/O requests. "
               "Nonoverlapped sockets: The socket is marked as nonblocking and the send operation "
               "cannot be completed immediately.\n";
    case 10050:
        return "The network subsystem has failed.\n";
    case 10053:
        return "The virtual circuit was terminated due to a time-out or other failure.\n";
    case 10055:
        return "The Windows Sockets provider reports a buffer deadlock.\n";
    case 10058:
        return "The socket has been shut down; it is not possible to WSASend on a socket after "
               "shutdown has been invoked with how set to SD_SEND or SD_BOTH.\n";
    default:
        return nullptr;
    }
}

void log_error(const char* prefix, int code) {
    if (const char* text = error_text(code))
        CDebug::AppendDebugMsg("%s%s", prefix, text);
}

// Sets an option and reads it back; true when the value stuck.
bool set_and_check(uintptr_t socket, qp::SocketOption option, int value) {
    int read_back = 0;
    return qp::socket_set_option(socket, option, value) &&
           qp::socket_get_option(socket, option, &read_back) && read_back == value;
}

// A buffer size, set and read back: 0 when it stuck, -1 when either call
// failed, and -1 with a log line when the system took another size.
int set_buffer(uintptr_t socket, qp::SocketOption option, int bytes) {
    int read_back = 0;
    if (!qp::socket_set_option(socket, option, bytes) ||
        !qp::socket_get_option(socket, option, &read_back))
        return -1;
    if (read_back != bytes) {
        CDebug::AppendDebugMsg("Error. setsockopt() didn't work actually.\n");
        return -1;
    }
    return 0;
}

} // namespace

CNetIO::CNetIO() : m_RecvEvent(nullptr), m_SendEvent(nullptr), m_Hold(nullptr) {
    Init();
}

CNetIO::CNetIO(const CNetIO& other) : m_RecvEvent(nullptr), m_SendEvent(nullptr), m_Hold(nullptr) {
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
    // Both objects use the one socket; it stays open until both let go.
    NetSocketHold* shared = const_cast<CNetIO&>(other).ShareSocket();
    m_SocketLock.Enter();
    NetSocketHold* previous = m_Hold;
    m_Hold = shared;
    m_Socket = shared ? shared->socket : INVALID_SOCKET_VALUE;
    m_SocketLock.Leave();
    ReleaseSocket(previous);
    m_SendBytes = other.m_SendBytes;
    m_RecvBytes = other.m_RecvBytes;
    return *this;
}

CNetIO::~CNetIO() {
    ReleaseSocket(m_Hold);
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
    SetSocket(INVALID_SOCKET_VALUE);
    m_BytesWanted = HEADER_SIZE;
}

void CNetIO::SetSocket(uintptr_t socket) {
    NetSocketHold* fresh = nullptr;
    if (socket != INVALID_SOCKET_VALUE)
        fresh = new NetSocketHold{socket, {1}};
    m_SocketLock.Enter();
    if (m_Hold && m_Hold->socket == socket) {
        m_SocketLock.Leave();
        delete fresh;
        return;
    }
    NetSocketHold* previous = m_Hold;
    m_Hold = fresh;
    m_Socket = socket;
    m_SocketLock.Leave();
    ReleaseSocket(previous);
}

NetSocketHold* CNetIO::ShareSocket() {
    m_SocketLock.Enter();
    NetSocketHold* hold = m_Hold;
    if (hold)
        hold->users.fetch_add(1);
    m_SocketLock.Leave();
    return hold;
}

void CNetIO::ReleaseSocket(NetSocketHold* hold) {
    if (hold && hold->users.fetch_sub(1) == 1) {
        qp::tcp_close(hold->socket);
        delete hold;
    }
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

bool CNetIO::IssueNetRead() {
    return IssueNetRead(m_Socket);
}

bool CNetIO::IssueNetRead(uintptr_t socket) {
    if (m_BytesHeld + m_BytesWanted > RECV_BUFFER_SIZE) {
        CDebug::AppendDebugMsg("Recv Buffer가 꽉차서 IssueNetRead 그냥 리턴한다..\n");
        return false;
    }
    int error = 0;
    if (qp::tcp_post_receive(socket, &m_OverlappedIn.overlapped, m_RecvBuf + m_BytesHeld,
                             static_cast<uint32_t>(m_BytesWanted), &error))
        return true;
    log_error("Recv() ", error);
    return false;
}

unsigned long CNetIO::SendPacket(char* data, unsigned long size) {
    if (size > RECV_BUFFER_SIZE) {
        TRACE("버퍼 최대길이보다 많은 데이타를 보내려고 한다.\n");
        return NET_ERROR;
    }
    if (!data && size != 0)
        return NET_ERROR;
    // The share keeps the socket open however another thread closes it
    // meanwhile: the send can fail, but never reach a reused number.
    NetSocketHold* hold = ShareSocket();
    uint32_t sent = 0;
    int error = 10038; // not a socket
    bool done = false;
    if (hold) {
        m_SendLock.Enter();
        done = qp::tcp_send(hold->socket, data, static_cast<uint32_t>(size), &sent, &error);
        m_SendLock.Leave();
        ReleaseSocket(hold);
    }
    if (!done) {
        log_error("Send() ", error);
        return NET_ERROR;
    }
    // The send is complete when it returns: count it here rather than on a
    // completion the receive thread would have to wait for.
    AddSendBytes(sent);
    return 0;
}

void CNetIO::Close() {
    CloseIfCurrent(nullptr);
}

void CNetIO::CloseIfCurrent(const NetSocketHold* only) {
    m_SocketLock.Enter();
    NetSocketHold* hold = m_Hold;
    if (!hold || (only && hold != only)) {
        m_SocketLock.Leave();
        return;
    }
    m_Hold = nullptr;
    m_Socket = INVALID_SOCKET_VALUE;
    m_SocketLock.Leave();
    // Wakes whoever still waits on the socket; the last of them closes it.
    qp::tcp_shutdown(hold->socket);
    ReleaseSocket(hold);
}

int CNetIO::SetRecvTimeOut(int milliseconds) {
    return set_and_check(m_Socket, qp::kReceiveTimeout, milliseconds) ? 0 : -1;
}

int CNetIO::SetSendTimeOut(int milliseconds) {
    return set_and_check(m_Socket, qp::kSendTimeout, milliseconds) ? 0 : -1;
}

int CNetIO::SetSendBuffer(int bytes) {
    return set_buffer(m_Socket, qp::kSendBuffer, bytes);
}

int CNetIO::SetRecvBuffer(int bytes) {
    return set_buffer(m_Socket, qp::kReceiveBuffer, bytes);
}

// The counters are touched by the sending threads and the receive thread;
// each access holds the lock for its scope.
void CNetIO::AddSendBytes(unsigned long bytes) {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    m_SendBytes += bytes;
}

void CNetIO::AddRecvBytes(unsigned long bytes) {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    m_RecvBytes += bytes;
}

void CNetIO::InitSendBytes() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    m_SendBytes = 0;
}

void CNetIO::InitRecvBytes() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    m_RecvBytes = 0;
}

unsigned long CNetIO::GetSendBytes() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    return m_SendBytes;
}

unsigned long CNetIO::GetRecvBytes() {
    qp::ScopedLock hold(m_Lock.GetCriticalSection());
    return m_RecvBytes;
}
