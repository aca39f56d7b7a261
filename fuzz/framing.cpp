// Feeds arbitrary bytes to the framing, cut into receives of arbitrary sizes,
// as a hostile server could. A finished packet is exactly the bytes fed in
// since the one before.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "transport/CNetClientIO.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CNetClientIO* io = new CNetClientIO;
    io->Init();
    io->GetRecvQueue().clear();
    size_t at = 0;
    size_t step = 0;
    std::vector<uint8_t> fed;
    while (at < size) {
        // Each input byte before a chunk decides how short the network cuts
        // the next receive (0 means: all that is wanted).
        const size_t cut = data[at++];
        size_t n = io->GetBytesWanted();
        if (cut != 0 && cut < n)
            n = cut;
        if (n > size - at)
            n = size - at;
        if (io->GetBytesHeld() + n > CNetIO::RECV_BUFFER_SIZE)
            __builtin_trap(); // the framing asked for more than its buffer holds
        memcpy(io->GetBuf() + io->GetBytesHeld(), data + at, n);
        fed.insert(fed.end(), data + at, data + at + n);
        at += n;
        const unsigned long result = io->CollectPacket(static_cast<unsigned long>(n));
        if (result == CNetIO::PACKET_COMPLETE) {
            CNTPacket packet;
            io->MakeCompletePacket(packet);
            if (packet.GetBufSize() != fed.size() ||
                memcmp(packet.GetBuf(), fed.data(), fed.size()))
                __builtin_trap();
            fed.clear();
        } else if (result == CNetIO::NET_ERROR) {
            break;
        }
        if (++step > 100000)
            break;
    }
    return 0;
}
