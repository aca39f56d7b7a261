// CNTProxy_CLToGS: the client-to-server calls.
#ifndef QUILLNTC_PROTOCOL_CNTPROXY_CLTOGS_H
#define QUILLNTC_PROTOCOL_CNTPROXY_CLTOGS_H

#endif
