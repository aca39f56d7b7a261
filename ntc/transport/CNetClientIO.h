// CNetClientIO: the transport plus the queue of received packets, which the
// client endpoint drains once per frame.
#ifndef QUILLNTC_CNETCLIENTIO_H
#define QUILLNTC_CNETCLIENTIO_H

#include <vector>

#include "NTCExport.h"
#include "transport/CNTPacket.h"
#include "transport/CNetIO.h"

class QUILLNTC_API CNetClientIO : public CNetIO {
public:
    CNetClientIO();
    virtual ~CNetClientIO();

    // Queues a copy of the packet just completed in the receive buffer (the
    // caller passes an empty packet to fill) and returns the framing to the
    // start of the next header. Always true.
    bool MakeCompletePacket(CNTPacket& packet);

    // The packets waiting to be dispatched, in arrival order. Hold the lock
    // (GetLock) while looking at or changing it.
    std::vector<CNTPacket>& GetRecvQueue() { return m_RecvQueue; }
    CLock& GetLock() { return m_Lock; }

protected:
    std::vector<CNTPacket> m_RecvQueue;
};

#endif
