#include "transport/CNetClientIO.h"

#include <string.h>

CNetClientIO::CNetClientIO() {
    m_RecvQueue.reserve(30);
}

CNetClientIO::~CNetClientIO() {}

bool CNetClientIO::MakeCompletePacket(CNTPacket& packet) {
    m_Lock.Enter();
    // Written at cursor 0 of an empty packet, the bytes are stored as they
    // arrived; the dispatcher descrambles them as it reads.
    packet.Write(GetBuf(), static_cast<unsigned short>(GetMessageLength()));
    packet.SetBufPoint(0);
    m_RecvQueue.push_back(packet);
    ResetFraming();
    m_Lock.Leave();
    return true;
}
