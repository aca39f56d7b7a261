// CNetIO: one TCP connection's byte transport, and the framing that cuts the
// incoming byte stream into packets by their 4-byte header.
//
// Receives are posted one at a time for exactly the bytes the framing still
// wants, so a packet always starts at offset 0 of the receive buffer and no
// byte of the next packet is ever in it.
#ifndef QUILLNTC_CNETIO_H
#define QUILLNTC_CNETIO_H

#include <atomic>

#include "NTCExport.h"
#include "quill/platform/types.h"
#include "transport/CLock.h"

namespace qp {
class Event;
}

// One connection's socket and everyone who uses it: the endpoint, each send
// in flight and the receive thread. The socket is closed when the last of
// them lets go, so its number cannot be reused while anyone still uses it.
struct NetSocketHold {
    uintptr_t socket;
    std::atomic<int> users;
};

// One asynchronous operation: the system's record, its owner, and whether it
// receives (0) or sends (1).
struct OVERLAPPED_PLUS {
    OVERLAPPED overlapped;
    unsigned long client;
    unsigned long operation;
};

class QUILLNTC_API CNetIO {
public:
    enum { RECV_BUFFER_SIZE = 4096, HEADER_SIZE = 4 };
    // Results of CollectPacket and SendPacket.
    enum { PACKET_COMPLETE = 0, NET_ERROR = 2, MORE_WANTED = 5 };
    enum { OPERATION_RECV = 0, OPERATION_SEND = 1 };

    CNetIO();
    // A copy takes every value but gets events of its own, so that neither
    // object releases the other's.
    CNetIO(const CNetIO& other);
    CNetIO& operator=(const CNetIO& other);
    virtual ~CNetIO();

    // Back to the start: records and buffer zeroed, fresh events, nothing
    // held, 4 bytes (a header) wanted, counters 0, no socket.
    void Init();
    void AttachClientToOVERLAPPED(unsigned long client);
    OVERLAPPED_PLUS* GetOverlappedIN() { return &m_OverlappedIn; }
    OVERLAPPED_PLUS* GetOverlappedOUT() { return &m_OverlappedOut; }
    char* GetBuf() { return m_RecvBuf; }

    bool IsConnected() const { return m_Socket != INVALID_SOCKET_VALUE; }
    uintptr_t GetSocket() const { return m_Socket; }
    // Takes the socket over; one stored before is let go (closed unless a
    // send or a receive thread still uses it).
    void SetSocket(uintptr_t socket);

    // Posts one receive of exactly the bytes the framing wants, at the end
    // of what the buffer holds. False (logged) when it cannot be posted.
    bool IssueNetRead();
    // Sends size bytes: 0 when they went out, NET_ERROR when not (logged).
    // The bytes are sent before it returns, so the caller may reuse them;
    // sends from several threads go out one after another, never mixed.
    unsigned long SendPacket(char* data, unsigned long size);
    // Closes the socket without lingering; the socket becomes invalid at
    // once. A send or receive still using it on another thread is woken
    // with an error, and the system's socket is released after it.
    void Close();

    // Socket options: 0 when set and read back equal, -1 otherwise.
    int SetRecvTimeOut(int milliseconds);
    int SetSendTimeOut(int milliseconds);
    int SetSendBuffer(int bytes);
    int SetRecvBuffer(int bytes);

    // Accounts for the bytes one receive delivered: PACKET_COMPLETE when the
    // packet in the buffer is whole, MORE_WANTED when the next receive must
    // follow, NET_ERROR when the stream cannot be framed (the connection is
    // then unusable; the state is left as it was).
    unsigned long CollectPacket(unsigned long bytes);

    // Where the next receive goes and how much it asks for.
    unsigned long GetBytesHeld() const { return m_BytesHeld; }
    unsigned long GetBytesWanted() const { return m_BytesWanted; }
    unsigned long GetReadState() const { return m_ReadState; }
    unsigned long GetMessageLength() const { return m_MessageLength; }

    void AddSendBytes(unsigned long bytes);
    void AddRecvBytes(unsigned long bytes);
    void InitSendBytes();
    void InitRecvBytes();
    unsigned long GetSendBytes();
    unsigned long GetRecvBytes();

    static const uintptr_t INVALID_SOCKET_VALUE = ~static_cast<uintptr_t>(0);

protected:
    // Back to the start of a header with nothing held.
    void ResetFraming();
    // Posts the next receive on the given socket, which may already have
    // been replaced by a newer one.
    bool IssueNetRead(uintptr_t socket);

    // A share of the current socket, null when there is none. Give it back
    // with ReleaseSocket.
    NetSocketHold* ShareSocket();
    static void ReleaseSocket(NetSocketHold* hold);
    // Close, but only while hold is still the current socket.
    void CloseIfCurrent(const NetSocketHold* hold);

    CLock m_Lock;
    // Keeps sends whole and in order when several threads send.
    CLock m_SendLock;

private:
    void CreateEvents();
    void ReleaseEvents();

    OVERLAPPED_PLUS m_OverlappedIn;
    OVERLAPPED_PLUS m_OverlappedOut;
    qp::Event* m_RecvEvent;
    qp::Event* m_SendEvent;
    char m_RecvBuf[RECV_BUFFER_SIZE];
    unsigned long m_BytesHeld;
    unsigned long m_BytesWanted;
    unsigned long m_ReadState;
    unsigned long m_MessageLength;
    // Guards m_Hold; held only for a moment, never during a system call
    // that may block.
    CLock m_SocketLock;
    NetSocketHold* m_Hold;
    std::atomic<uintptr_t> m_Socket;
    unsigned long m_SendBytes;
    unsigned long m_RecvBytes;
};

#endif
