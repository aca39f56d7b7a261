// CNTMainClient: the client endpoint with the server message dispatcher.
//
// Every received packet goes to ProcessPacketFromServer, which hands a reply
// to the proxy's waiting call, a clock synchronisation to the endpoint, and
// every other message to one callback of the attached CNTStub_GSToCL. The
// game client derives its endpoint from this class and implements
// ProcessConnectionLost.
#ifndef QUILLNTC_PROTOCOL_CNTMAINCLIENT_H
#define QUILLNTC_PROTOCOL_CNTMAINCLIENT_H

#include "NTCExport.h"
#include "transport/CNTBaseClient.h"

class QUILLNTC_API CNTMainClient : public CNTBaseClient {
public:
    CNTMainClient();
    virtual ~CNTMainClient();

    // One received packet with its cursor at 0. Always 0. A message whose
    // list count the packet cannot hold is dropped with a line in the
    // network log; bytes left over after the last field are ignored.
    virtual unsigned long ProcessPacketFromServer(CNTPacket& packet);
};

#endif
