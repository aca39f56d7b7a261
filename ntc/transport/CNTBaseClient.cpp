#include "transport/CNTBaseClient.h"

#include <string.h>

#include <vector>

#include "protocol/CNTProxy.h"
#include "quill/platform/clock.h"
#include "quill/platform/socket.h"
#include "quill/platform/thread.h"
#include "transport/CDebug.h"
#include "transport/Trace.h"

namespace {

// How deep the calling thread is in dispatching: it then holds the queue's
// lock, which the receive thread may be waiting for.
thread_local int t_dispatch_depth = 0;

} // namespace

CNTBaseClient::CNTBaseClient()
    : m_bDispatchInRecvThread(false), m_pProxy(nullptr), m_pStub(nullptr), m_ServerPort(0),
      m_NetTime(0), m_ServerTime(0), m_Latency(0), m_RecvThread(nullptr), m_Stopping(false),
      m_LossReported(false) {
    memset(m_ServerAddr, 0, sizeof m_ServerAddr);
    Init();
}

CNTBaseClient::~CNTBaseClient() {
    // The receive thread must never run on a destroyed object.
    StopReceiveThread();
    Close();
}

unsigned long CNTBaseClient::ProcessPacketFromServer(CNTPacket&) {
    return 0;
}

bool CNTBaseClient::Attach(CNTStub* stub) {
    m_pStub = stub;
    return true;
}

bool CNTBaseClient::Attach(CNTProxy* proxy) {
    m_pProxy = proxy;
    if (proxy)
        proxy->SetOwner(this);
    return true;
}

void CNTBaseClient::SetServerAddr(const char* address) {
    memset(m_ServerAddr, 0, sizeof m_ServerAddr);
    if (!address)
        return;
    if (strlen(address) >= sizeof m_ServerAddr) {
        CDebug::AppendDebugMsg("서버 어드레스가 너무 길다 : %s\n", address);
        return;
    }
    strcpy(m_ServerAddr, address);
}

bool CNTBaseClient::Startup() {
    int error = 0;
    if (!qp::net_startup(&error)) {
        CDebug::AppendDebugMsg("Failed to load Winsock! : %d\n", error);
        return false;
    }
    return true;
}

uintptr_t CNTBaseClient::CreateSocket() {
    const qp::Socket socket = qp::tcp_socket();
    if (socket == qp::kInvalidSocket) {
        CDebug::AppendDebugMsg("socket() Failed : %d \n", qp::net_last_error());
        qp::net_cleanup();
        return 0;
    }
    SetSocket(socket);
    return socket;
}

bool CNTBaseClient::ConnectToServer() {
    // A connection made before, lost or closed, leaves a thread to collect
    // and framing state that belongs to the old byte stream.
    StopReceiveThread();
    if (m_RecvThread && qp::thread_is_current(m_RecvThread)) {
        // Reconnecting from a handler on the receive thread: that thread
        // returns as soon as the handler does.
        qp::thread_detach(m_RecvThread);
        m_RecvThread = nullptr;
    }
    Close();
    ResetFraming();
    InitSendBytes();
    InitRecvBytes();
    m_Stopping = false;
    m_LossReported = false;

    if (!CreateSocket())
        return false;
    uint32_t address = 0;
    if (!qp::ipv4_parse(m_ServerAddr, &address) && !qp::ipv4_resolve(m_ServerAddr, &address)) {
        Close();
        CDebug::AppendDebugMsg("서버 어드레스를 찾을 수 엄다\n");
        return false;
    }
    if (!qp::tcp_connect(GetSocket(), address, static_cast<uint16_t>(m_ServerPort & 0xFFFF))) {
        const int error = qp::net_last_error();
        Close();
        CDebug::AppendDebugMsg("ConnectToServer() : error %d\n", error);
        return false;
    }
    CDebug::AppendDebugMsg("ConnectToServer() : Success\n");
    m_TrafficStart = m_ConnectTime = COLEDateTime::GetTickCount();
    return RecvFromServer();
}

bool CNTBaseClient::RecvFromServer() {
    m_RecvThread = qp::thread_start(&CNTBaseClient::RecvFromServer_Proc, this);
    return true;
}

void CNTBaseClient::RecvFromServer_Proc(void* client) {
    static_cast<CNTBaseClient*>(client)->ReceiveLoop();
}

void CNTBaseClient::ConnectionLost() {
    if (m_Stopping || m_LossReported.exchange(true))
        return;
    ProcessConnectionLost();
}

void CNTBaseClient::ReceiveLoop() {
    qp::thread_raise_priority();
    if (!IssueNetRead())
        return;
    const uintptr_t socket = GetSocket();
    // The packet each completed message is written into before it is
    // queued. Emptied (counters to 0) rather than built anew, which would
    // zero its 4 KB for every message; only its first bytes are ever used.
    CNTPacket scratch;
    for (;;) {
        const int which =
            qp::tcp_wait(socket, &GetOverlappedIN()->overlapped, &GetOverlappedOUT()->overlapped);
        uint32_t bytes = 0;
        int error = 0;
        if (which == 0) {
            if (!qp::tcp_result(socket, &GetOverlappedIN()->overlapped, &bytes, &error)) {
                if (m_Stopping)
                    return;
                CDebug::AppendDebugMsg("error!!! WSAGetOverlappedResult() : error %d\n", error);
                ConnectionLost();
                return;
            }
            if (bytes == 0) { // the server closed the connection
                ConnectionLost();
                return;
            }
            const unsigned long step = CollectPacket(bytes);
            if (step == PACKET_COMPLETE) {
                scratch.SetBufSize(0);
                scratch.SetBufPoint(0);
                MakeCompletePacket(scratch);
            } else if (step == NET_ERROR) {
                CDebug::AppendDebugMsg("error!!! CollectPacket() : error \n");
                ConnectionLost();
                return;
            }
            AddRecvBytes(bytes);
            // Without a receive posted nothing would ever wake this thread.
            if (!IssueNetRead()) {
                ConnectionLost();
                return;
            }
            if ((m_pProxy && m_pProxy->GetNestedReplyCount() > 0) || m_bDispatchInRecvThread)
                ProcessQueuedMessageFromServer();
        } else if (which == 1) {
            if (!qp::tcp_result(socket, &GetOverlappedOUT()->overlapped, &bytes, &error)) {
                CDebug::AppendDebugMsg("error!!! WSAGetOverlappedResult() : error %d\n", error);
                return;
            }
            AddSendBytes(bytes);
            if (bytes == 0) {
                CDebug::AppendDebugMsg("%d 사이즈의 패킷을 송신했당!!!\n", 0);
                CDebug::AppendDebugMsg("Send Overlapped구조체에서 에러났다.");
            }
        } else {
            // The wait itself failed: nothing can wake this thread again.
            if (!m_Stopping)
                ConnectionLost();
            return;
        }
    }
}

void CNTBaseClient::StopReceiveThread() {
    if (!m_RecvThread)
        return;
    m_Stopping = true;
    if (IsConnected())
        qp::tcp_shutdown(GetSocket());
    if (qp::thread_is_current(m_RecvThread) || t_dispatch_depth > 0) {
        // A handler is disconnecting, on the receive thread itself or on a
        // thread that holds the queue's lock the receive thread may wait
        // for: waiting here could wait for ever. The thread ends by itself;
        // the next Disconnect, connect or the destructor collects it, so
        // that it never runs on past the object.
        return;
    }
    qp::thread_join(m_RecvThread);
    m_RecvThread = nullptr;
}

void CNTBaseClient::Disconnect() {
    StopReceiveThread();
    // The socket of a thread still ending stays open (shut down) until the
    // thread is collected, so that its number is not reused under it.
    if (!m_RecvThread)
        Close();
}

unsigned long CNTBaseClient::SendToServer(CNTPacket& packet) {
    return SendPacket(packet.GetBuf(), packet.GetBufSize());
}

unsigned long CNTBaseClient::ProcessQueuedMessageFromServer() {
    m_Lock.Enter();
    ++t_dispatch_depth;
    // Dispatch a batch taken out of the queue, so that a handler that
    // dispatches again does not walk the same packets.
    std::vector<CNTPacket> batch;
    batch.swap(m_RecvQueue);
    for (CNTPacket& packet : batch)
        ProcessPacketFromServer(packet);
    if (m_RecvQueue.empty()) {
        batch.clear();
        m_RecvQueue.swap(batch); // keep the storage for the next packets
    }
    --t_dispatch_depth;
    m_Lock.Leave();
    return 0;
}

void CNTBaseClient::UpdateFrame() {
    CheckTraffic();
}

void CNTBaseClient::CheckTraffic() {
    const COLEDateTime now = COLEDateTime::GetTickCount();
    // Day fractions do not hold seconds exactly: five seconds come out a hair
    // short of 5.0, so compare in whole milliseconds.
    const double elapsed_ms = (now - m_TrafficStart).GetTotalSeconds() * 1000.0;
    if (!(elapsed_ms + 0.5 >= 5000.0))
        return;
    TRACE("5초 송신량 : %d       수신량 : %d\n", static_cast<int>(GetSendBytes()),
          static_cast<int>(GetRecvBytes()));
    InitSendBytes();
    InitRecvBytes();
    m_TrafficStart = now;
}

GS_RESULT CNTBaseClient::SC_SetNetTime(unsigned long& serverTime, unsigned long& latency) {
    const uint32_t now = qp::tick_count();
    uint32_t estimate =
        now - static_cast<uint32_t>(m_NetTime) + static_cast<uint32_t>(m_ServerTime);
    if (m_NetTime != 0) {
        unsigned long answer = estimate;
        CS_ResponseNetTime(answer);
    }
    m_NetTime = now;
    m_Latency = latency;
    m_ServerTime = serverTime;
    return 0;
}

GS_RESULT CNTBaseClient::CS_ResponseNetTime(unsigned long& time) {
    CNTPacket packet;
    packet << static_cast<unsigned short>(NET_TIME_MESSAGE) << static_cast<unsigned short>(0)
           << static_cast<unsigned long>(time & 0xFFFFFFFFul);
    CNTBase* face = this;
    if (face->SendToServer(packet) == NET_ERROR) {
        CDebug::AppendDebugMsg("Send Error!!! NetTime보내다가에러 났다");
        Disconnect();
    }
    return 0;
}
