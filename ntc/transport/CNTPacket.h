// CNTPacket: placeholder, filled in by its own change.
#ifndef QUILLNTC_CNTPACKET_H
#define QUILLNTC_CNTPACKET_H
#endif
