// CNTStub and CNTStub_GSToCL: the callbacks a game client implements.
#ifndef QUILLNTC_PROTOCOL_CNTSTUB_H
#define QUILLNTC_PROTOCOL_CNTSTUB_H

#endif
