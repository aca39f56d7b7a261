#include "transport/CNTBaseClient.h"

#include <string.h>

#include <vector>

#include "protocol/CNTProxy.h"
#include "protocol/Messages.h"
#include "quill/platform/clock.h"
#include "quill/platform/socket.h"
#include "quill/platform/thread.h"
#include "transport/CDebug.h"
#include "transport/Trace.h"

// One connection's receive side. Its thread and the client each hold a
// reference; whoever lets go last frees it.
struct CNTBaseClient::Connection {
    enum State { RUNNING, CLOSED_BY_GAME, CLOSED_BY_LIBRARY, LOST };

    CNTBaseClient* client;
    NetSocketHold* socket; // the thread's share
    qp::ThreadHandle thread;
    // The connection before, whose thread this one's thread waits for
    // before it touches the client (the reference passes with it).
    Connection* predecessor;
    std::atomic<int> state;
    // Set when the client was destroyed under the thread: it must not be
    // touched again.
    std::atomic<bool> client_gone;
    // Only the connection's own thread reads and writes it.
    bool receive_pending;
    std::atomic<int> references;

    bool Running() const { return state.load() == RUNNING; }
    bool End(State by) {
        int expected = RUNNING;
        return state.compare_exchange_strong(expected, by);
    }
    static void Release(Connection* connection) {
        if (connection && connection->references.fetch_sub(1) == 1)
            delete connection;
    }
};

// A dispatch under way on this thread: it holds the client's queue lock.
struct CNTBaseClient::DispatchFrame {
    CNTBaseClient* client;
    bool client_gone;
    DispatchFrame* outer;
};

namespace {

thread_local CNTBaseClient::Connection* t_connection = nullptr;
thread_local CNTBaseClient::DispatchFrame* t_frames = nullptr;

} // namespace

CNTBaseClient::CNTBaseClient()
    : m_bDispatchInRecvThread(false), m_pProxy(nullptr), m_pStub(nullptr), m_ServerPort(0),
      m_NetTime(0), m_ServerTime(0), m_Latency(0), m_pConnection(nullptr),
      m_ConnectionSerial(1), m_DisconnectSerial(0) {
    memset(m_ServerAddr, 0, sizeof m_ServerAddr);
    Init();
}

CNTBaseClient::~CNTBaseClient() {
    // The proxy may be gone already: it is not told.
    EndCurrent(true, false);
    Close();
    // A callback of this client's that destroys it: the dispatch it runs in
    // must not touch the object again, and gives up the queue lock here.
    for (DispatchFrame* frame = t_frames; frame; frame = frame->outer) {
        if (frame->client == this && !frame->client_gone) {
            frame->client_gone = true;
            m_Lock.Leave();
        }
    }
    m_ConnectionLock.Enter();
    Connection* newest = m_pConnection;
    m_pConnection = nullptr;
    m_ConnectionLock.Leave();
    if (!newest)
        return;
    Connection* own = t_connection && t_connection->client == this ? t_connection : nullptr;
    if (!own) {
        // The receive threads never run on past the object.
        qp::thread_join(newest->thread);
        Connection::Release(newest);
        return;
    }
    // Destroyed from a callback on one of its own receive threads: that
    // thread, and the newer ones waiting for it, end without touching it.
    if (own->receive_pending) {
        qp::tcp_abandon_receive(own->socket->socket, &GetOverlappedIN()->overlapped);
        own->receive_pending = false;
    }
    for (Connection* c = newest; c; c = c->predecessor) {
        c->client_gone = true;
        if (c == own)
            break;
    }
    qp::thread_detach(newest->thread);
    Connection::Release(newest);
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
    // The connection before ends here, as the game's own; its thread is
    // waited for, now or by the new connection's thread.
    Disconnect();

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
    m_Lock.Enter();
    InitSendBytes();
    InitRecvBytes();
    m_Lock.Leave();
    return RecvFromServer();
}

bool CNTBaseClient::RecvFromServer() {
    NetSocketHold* socket = ShareSocket();
    if (!socket)
        return false;
    Connection* connection = new Connection{this,    socket, nullptr,          nullptr,
                                            {Connection::RUNNING}, {false}, false, {2}};
    m_ConnectionLock.Enter();
    connection->predecessor = m_pConnection;
    m_pConnection = connection;
    ++m_ConnectionSerial;
    connection->thread = qp::thread_start(&CNTBaseClient::RecvFromServer_Proc, connection);
    if (!connection->thread) {
        m_pConnection = connection->predecessor;
        m_ConnectionLock.Leave();
        ReleaseSocket(socket);
        delete connection;
        CloseIfCurrent(nullptr);
        return false;
    }
    m_ConnectionLock.Leave();
    return true;
}

void CNTBaseClient::RecvFromServer_Proc(void* argument) {
    Connection* connection = static_cast<Connection*>(argument);
    if (Connection* before = connection->predecessor) {
        // The thread before may still be inside a callback; it shares the
        // receive buffer, the framing and the records with this one.
        qp::thread_join(before->thread);
        Connection::Release(before);
        connection->predecessor = nullptr;
    }
    if (!connection->client_gone) {
        t_connection = connection;
        connection->client->ReceiveLoop(connection);
        t_connection = nullptr;
    }
    ReleaseSocket(connection->socket);
    Connection::Release(connection);
}

void CNTBaseClient::ReceiveLoop(Connection* connection) {
    // A fresh connection: nothing of the old byte stream is left.
    m_Lock.Enter();
    m_RecvQueue.clear();
    ResetFraming();
    m_Lock.Leave();

    qp::thread_raise_priority();
    const uintptr_t socket = connection->socket->socket;
    OVERLAPPED* in = &GetOverlappedIN()->overlapped;
    OVERLAPPED* out = &GetOverlappedOUT()->overlapped;
    // The packet each completed message is written into before it is
    // queued. Emptied (counters to 0) rather than built anew, which would
    // zero its 4 KB for every message; only its first bytes are ever used.
    CNTPacket scratch;
    connection->receive_pending = IssueNetRead(socket);
    while (connection->receive_pending && connection->Running()) {
        const int which = qp::tcp_wait(socket, in, out);
        if (which == 0)
            connection->receive_pending = false;
        if (!connection->Running())
            break; // closed under the thread: nothing more to read
        uint32_t bytes = 0;
        int error = 0;
        if (which == 0) {
            if (!qp::tcp_result(socket, in, &bytes, &error)) {
                CDebug::AppendDebugMsg("error!!! WSAGetOverlappedResult() : error %d\n", error);
                break;
            }
            if (bytes == 0) // the server closed the connection
                break;
            const unsigned long step = CollectPacket(bytes);
            if (step == NET_ERROR) {
                CDebug::AppendDebugMsg("error!!! CollectPacket() : error \n");
                break;
            }
            // Checked under the lock that dispatching and ConnectToServer
            // hold: once the game has ended this connection, none of its
            // messages or bytes reaches the queue or the counters.
            m_Lock.Enter();
            const bool running = connection->Running();
            if (running && step == PACKET_COMPLETE) {
                scratch.SetBufSize(0);
                scratch.SetBufPoint(0);
                MakeCompletePacket(scratch);
            }
            if (running)
                AddRecvBytes(bytes);
            m_Lock.Leave();
            if (!running)
                break;
            // Without a receive posted nothing would ever wake this thread.
            connection->receive_pending = IssueNetRead(socket);
            if (!connection->receive_pending)
                break;
            if ((m_pProxy && m_pProxy->GetNestedReplyCount() > 0) || m_bDispatchInRecvThread) {
                ProcessQueuedMessageFromServer();
                if (connection->client_gone)
                    return;
            }
        } else if (which == 1) {
            if (!qp::tcp_result(socket, out, &bytes, &error)) {
                CDebug::AppendDebugMsg("error!!! WSAGetOverlappedResult() : error %d\n", error);
                break;
            }
            AddSendBytes(bytes);
            if (bytes == 0) {
                CDebug::AppendDebugMsg("%d 사이즈의 패킷을 송신했당!!!\n", 0);
                CDebug::AppendDebugMsg("Send Overlapped구조체에서 에러났다.");
            }
        } else {
            break; // the wait itself failed: nothing can wake this thread again
        }
    }
    // The next connection's thread reuses the buffer and the records.
    if (connection->receive_pending) {
        qp::tcp_abandon_receive(socket, in);
        connection->receive_pending = false;
    }
    if (connection->End(Connection::LOST)) {
        CloseIfCurrent(connection->socket);
        Ended();
    }
    if (connection->state.load() != Connection::CLOSED_BY_GAME)
        ProcessConnectionLost();
}

bool CNTBaseClient::EndCurrent(bool by_game, bool settle) {
    m_ConnectionLock.Enter();
    Connection* connection = m_pConnection;
    const bool ended = connection && connection->End(by_game ? Connection::CLOSED_BY_GAME
                                                             : Connection::CLOSED_BY_LIBRARY);
    m_ConnectionLock.Leave();
    if (by_game)
        ++m_DisconnectSerial;
    if (ended && settle)
        Ended();
    return ended;
}

void CNTBaseClient::Ended() {
    ++m_ConnectionSerial;
    // Calls that gave up on this connection can have no reply any more.
    if (m_pProxy)
        m_pProxy->DropAbandonedReplies();
}

bool CNTBaseClient::MayWaitForReceiveThreads() const {
    // A receive thread of ours, or a thread holding the queue lock that a
    // receive thread may be waiting for, would wait for itself.
    if (t_connection && t_connection->client == this)
        return false;
    for (const DispatchFrame* frame = t_frames; frame; frame = frame->outer)
        if (frame->client == this && !frame->client_gone)
            return false;
    return true;
}

void CNTBaseClient::Retire(Connection* connection) {
    if (!connection || !MayWaitForReceiveThreads())
        return; // the next connection's thread or the destructor waits
    m_ConnectionLock.Enter();
    const bool taken = m_pConnection == connection;
    if (taken)
        m_pConnection = nullptr;
    m_ConnectionLock.Leave();
    if (!taken)
        return; // another thread collects it
    qp::thread_join(connection->thread);
    Connection::Release(connection);
}

void CNTBaseClient::Disconnect() {
    EndCurrent(true);
    Close();
    m_ConnectionLock.Enter();
    Connection* connection = m_pConnection;
    m_ConnectionLock.Leave();
    Retire(connection);
}

void CNTBaseClient::DropConnection() {
    // Only a connection that still runs: a failure that belongs to one the
    // game has ended already must not close the socket of the next.
    if (EndCurrent(false))
        Close(); // the receive thread wakes at the close and reports the loss
}

unsigned long CNTBaseClient::GetConnectionSerial() {
    return m_ConnectionSerial.load();
}

unsigned long CNTBaseClient::SendToServer(CNTPacket& packet) {
    return SendPacket(packet.GetBuf(), packet.GetBufSize());
}

unsigned long CNTBaseClient::ProcessQueuedMessageFromServer() {
    m_Lock.Enter();
    DispatchFrame frame = {this, false, t_frames};
    t_frames = &frame;
    const unsigned long disconnects = m_DisconnectSerial.load();
    // Dispatch a batch taken out of the queue, so that a handler that
    // dispatches again does not walk the same packets.
    std::vector<CNTPacket> batch;
    batch.swap(m_RecvQueue);
    for (CNTPacket& packet : batch) {
        ProcessPacketFromServer(packet);
        if (frame.client_gone) { // a handler destroyed the client
            t_frames = frame.outer;
            return 0;
        }
        // After the game's own Disconnect the rest of the old connection's
        // messages are not delivered.
        if (m_DisconnectSerial.load() != disconnects)
            break;
    }
    if (m_RecvQueue.empty()) {
        batch.clear();
        m_RecvQueue.swap(batch); // keep the storage for the next packets
    }
    t_frames = frame.outer;
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

static_assert(static_cast<int>(CNTBaseClient::NET_TIME_MESSAGE) ==
                  static_cast<int>(ntc_msg::RESPONSE_NET_TIME),
              "the answer to the server's clock is the catalogue's");

GS_RESULT CNTBaseClient::CS_ResponseNetTime(unsigned long& time) {
    CNTPacket packet;
    packet << static_cast<unsigned short>(NET_TIME_MESSAGE) << static_cast<unsigned short>(0)
           << static_cast<unsigned long>(time & 0xFFFFFFFFul);
    CNTBase* face = this;
    const unsigned long serial = GetConnectionSerial();
    if (face->SendToServer(packet) == NET_ERROR) {
        CDebug::AppendDebugMsg("Send Error!!! NetTime보내다가에러 났다");
        if (GetConnectionSerial() == serial)
            DropConnection();
    }
    return 0;
}
