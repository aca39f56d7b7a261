// CNTMainClient: the client endpoint with the server message dispatcher.
#ifndef QUILLNTC_PROTOCOL_CNTMAINCLIENT_H
#define QUILLNTC_PROTOCOL_CNTMAINCLIENT_H

#endif
