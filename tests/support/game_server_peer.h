// A game server on loopback for tests: it accepts one client, sends bytes
// built by hand from the wire format (split into pieces as a network might),
// and reads what the client sends.
#ifndef QUILL_TESTS_GAME_SERVER_PEER_H
#define QUILL_TESTS_GAME_SERVER_PEER_H

#include <stdint.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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
Bytes u8(unsigned value);
Bytes i16(int value);
Bytes i32(int32_t value);
Bytes f32(float value);
// The bytes of a text, without count or terminator.
Bytes text(const std::string& value);
// Header (message number, total length) and the fields, each scrambled.
Bytes server_packet(unsigned short message, const std::vector<Bytes>& fields);
// A client's request has the same form.
inline Bytes client_packet(unsigned short message, const std::vector<Bytes>& fields) {
    return server_packet(message, fields);
}
// The 16-bit number that stands at offset in a received packet (payload
// offsets descrambled): the sequence number of a request at 4 (5 for 1015).
unsigned short field_u16(const Bytes& packet, size_t offset);

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
    // Reads one whole packet as it came (header and body); empty when the
    // client closed or nothing came within 5 s. *closed tells which.
    Bytes receive_packet(bool* closed = nullptr);
    // Closes the client's connection from the server's side.
    void close_client();
    // Ends it with a reset, as a server that crashed.
    void reset_client();

    // Sends the packet that make(n) builds for n = 0, 1, ... on a thread of
    // its own, until stop_streaming; sends that fail (the client went away)
    // are not retried. Returns at once.
    void stream(std::function<Bytes(unsigned n)> make);
    void stop_streaming();

    // Answers requests on a thread of its own: every packet the client sends
    // is recorded and handed to answer, whose bytes (if any) go back. Ends
    // when the client closes or stop_serving is called.
    void serve(std::function<Bytes(const Bytes& request)> answer);
    void stop_serving();
    // The packets received while serving, in order.
    std::vector<Bytes> requests();
    // Waits until at least count packets were received while serving.
    bool wait_for_requests(size_t count, int timeout_ms = 5000);
    // True once the serving thread saw the client close the connection.
    bool client_closed() const { return client_closed_; }

private:
    qp::Socket listener_;
    qp::Socket client_;
    uint16_t port_;
    std::thread server_;
    std::thread streamer_;
    std::atomic<bool> streaming_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> client_closed_{false};
    std::mutex mutex_;
    std::vector<Bytes> requests_;
};

} // namespace quill_test

#endif
