// CNTBaseClient: the game client's end of the connection to the game server.
// It connects, runs the receive thread, keeps the queue of received packets
// and hands them to ProcessPacketFromServer, sends, measures traffic and
// answers the server's clock synchronisation.
//
// Use: Attach the proxy and the stub, Startup once, set the server's address
// and port, ConnectToServer; then once per frame UpdateFrame and
// ProcessQueuedMessageFromServer; Disconnect at the end. Every connection
// that ends without the game's own Disconnect (the server, the network or
// the library itself closed it) reaches ProcessConnectionLost exactly once,
// on the receive thread. Disconnect and ConnectToServer may be called from
// any thread, callbacks included. A derived class disconnects in its own
// destructor, so that no loss is reported to a half-destroyed object.
#ifndef QUILLNTC_CNTBASECLIENT_H
#define QUILLNTC_CNTBASECLIENT_H

#include <atomic>

#include "NTCExport.h"
#include "transport/CNTBase.h"
#include "transport/CNetClientIO.h"
#include "transport/COLEDateTime.h"

class CNTProxy;
class CNTStub;

// The result of a client-to-server call: 0 sent or answered, 3 failed.
typedef unsigned long GS_RESULT;
constexpr GS_RESULT GS_OK = 0;
constexpr GS_RESULT GS_FAIL = 3;

namespace qp {
typedef struct ThreadRecord* ThreadHandle;
}

class QUILLNTC_API CNTBaseClient : public CNetClientIO, public CNTBase {
public:
    enum { SERVER_ADDR_SIZE = 30, NET_TIME_MESSAGE = 1010 };

    CNTBaseClient();
    virtual ~CNTBaseClient();

    // Called on the receive thread when the connection is lost or its byte
    // stream is unusable; the thread ends when it returns.
    virtual void ProcessConnectionLost() = 0;
    // One received packet, cursor at 0; this base ignores it.
    virtual unsigned long ProcessPacketFromServer(CNTPacket& packet);

    bool Attach(CNTStub* stub);
    bool Attach(CNTProxy* proxy);
    CNTStub* GetStub() const { return m_pStub; }
    CNTProxy* GetProxy() const { return m_pProxy; }

    // At most 29 characters; a longer text is refused (logged) and leaves
    // no address.
    void SetServerAddr(const char* address);
    const char* GetServerAddr() const { return m_ServerAddr; }
    void SetServerPort(unsigned long port) { m_ServerPort = port; }

    bool Startup();
    uintptr_t CreateSocket();
    bool ConnectToServer();
    bool RecvFromServer();
    // The receive thread of one connection (its argument is that
    // connection's record, which RecvFromServer makes).
    static void RecvFromServer_Proc(void* connection);

    virtual unsigned long SendToServer(CNTPacket& packet);
    unsigned long ProcessQueuedMessageFromServer();
    void UpdateFrame();
    void CheckTraffic();

    GS_RESULT SC_SetNetTime(unsigned long& serverTime, unsigned long& latency);
    GS_RESULT CS_ResponseNetTime(unsigned long& time);
    unsigned long GetNetTime() const { return m_NetTime; }
    void SetNetTime(unsigned long time) { m_NetTime = time; }
    unsigned long GetLatency() const { return m_Latency; }
    void SetLatency(unsigned long latency) { m_Latency = latency; }

    // Closes the connection and waits for its receive thread to end. From a
    // callback (where waiting could wait for ever) the thread is left to end
    // by itself, and the next connection's thread waits for it before it
    // touches anything. ProcessConnectionLost is not called for it.
    virtual void Disconnect();
    // Closes the connection as a loss: the receive thread reports it.
    virtual void DropConnection();
    virtual unsigned long GetConnectionSerial();

    void SetDispatchInRecvThread(bool on) { m_bDispatchInRecvThread = on; }
    const COLEDateTime& GetConnectTime() const { return m_ConnectTime; }

    // Internal records of the receive side (defined where they are used).
    struct Connection;
    struct DispatchFrame;

private:

    void ReceiveLoop(Connection* connection);
    // Marks the current connection ended by the game (true) or by the
    // library; true when this call ended it. settle: also settle what an
    // end settles (not while the object is being destroyed).
    bool EndCurrent(bool by_game, bool settle = true);
    // What every end of a connection settles, once.
    void Ended();
    // Waits for the thread of a connection taken out of m_pConnection.
    void Retire(Connection* connection);
    bool MayWaitForReceiveThreads() const;

    bool m_bDispatchInRecvThread;
    CNTProxy* m_pProxy;
    CNTStub* m_pStub;
    unsigned long m_ServerPort;
    char m_ServerAddr[SERVER_ADDR_SIZE];
    unsigned long m_NetTime;
    unsigned long m_ServerTime;
    unsigned long m_Latency;
    COLEDateTime m_ConnectTime;
    COLEDateTime m_TrafficStart;

    // The newest connection's receive side, until its thread is waited for.
    Connection* m_pConnection;
    CLock m_ConnectionLock;
    std::atomic<unsigned long> m_ConnectionSerial;
    // Changes at each Disconnect of the game's: a batch being dispatched
    // stops there.
    std::atomic<unsigned long> m_DisconnectSerial;
};

#endif
