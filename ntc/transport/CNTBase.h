// CNTBase: the face of a client endpoint that the outgoing-call proxy talks
// to.
#ifndef QUILLNTC_CNTBASE_H
#define QUILLNTC_CNTBASE_H

#include "NTCExport.h"

class CNTClient;
class CNTPacket;

class QUILLNTC_API CNTBase {
public:
    CNTBase();
    virtual ~CNTBase();
    virtual CNTClient* GetClientFromMachineID(unsigned short id);
    virtual void Disconnect();
    // 0 when the packet went out; this base sends nothing.
    virtual unsigned long SendToServer(CNTPacket& packet);
    // The library's own close (a reply that never came, a failed send):
    // unlike the game's Disconnect, the game hears of it as a loss. This
    // base just disconnects.
    virtual void DropConnection();
    // Tells connections apart: it changes whenever a connection starts or
    // ends, so a failure on one connection never closes the next. 0 in this
    // base.
    virtual unsigned long GetConnectionSerial();

    void SetMachineID(unsigned short id) { m_MachineID = id; }
    unsigned short GetMachineID() const { return m_MachineID; }

private:
    unsigned short m_MachineID;
};

#endif
