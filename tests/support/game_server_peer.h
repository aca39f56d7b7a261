// A game server on loopback for tests: it accepts one client, sends bytes
// built by hand from the wire format (split into pieces as a network might),
// and reads what the client sends.
#ifndef QUILL_TESTS_GAME_SERVER_PEER_H
#define QUILL_TESTS_GAME_SERVER_PEER_H

#include <stdint.h>

#include <vector>

#include "quill/platform/socket.h"

namespace quill_test {

using Bytes = std::vector<unsigned char>;

// A field as it travels from the server: every fourth byte of it, from its
// first, XOR-ed with the shared key.
Bytes scrambled(Bytes field);
// Little-endian field values.
Bytes u16(unsigned value);
Bytes u32(uint32_t value);
// Header (message number, total length) and the fields, each scrambled.
Bytes server_packet(unsigned short message, const std::vector<Bytes>& fields);

class GameServerPeer {
public:
    GameServerPeer();
    ~GameServerPeer();
    GameServerPeer(const GameServerPeer&) = delete;
    GameServerPeer& operator=(const GameServerPeer&) = delete;

    uint16_t port() const { return port_; }
    // Takes the client's connection; false when none came.
    bool accept();
    // Sends the bytes, cut into the given piece sizes (the rest in one piece)
    // with a short pause between pieces.
    bool send(const Bytes& bytes, const std::vector<size_t>& pieces = {});
    // Reads exactly count bytes; fewer when the client closed or 5 s passed.
    Bytes receive(size_t count);
    // Closes the client's connection from the server's side.
    void close_client();

private:
    qp::Socket listener_;
    qp::Socket client_;
    uint16_t port_;
};

} // namespace quill_test

#endif
