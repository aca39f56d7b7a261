#include "support/game_server_peer.h"

#include "quill/platform/clock.h"

namespace quill_test {

Bytes scrambled(Bytes field) {
    for (size_t i = 0; i < field.size(); i += 4)
        field[i] ^= 0x6B;
    return field;
}

Bytes u16(unsigned value) {
    return Bytes{static_cast<unsigned char>(value & 0xFF),
                 static_cast<unsigned char>((value >> 8) & 0xFF)};
}

Bytes u32(uint32_t value) {
    return Bytes{
        static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>((value >> 8) & 0xFF),
        static_cast<unsigned char>((value >> 16) & 0xFF), static_cast<unsigned char>(value >> 24)};
}

Bytes server_packet(unsigned short message, const std::vector<Bytes>& fields) {
    Bytes body;
    for (const Bytes& field : fields) {
        const Bytes wire = scrambled(field);
        body.insert(body.end(), wire.begin(), wire.end());
    }
    Bytes all = u16(message);
    const Bytes length = u16(static_cast<unsigned>(body.size() + 4));
    all.insert(all.end(), length.begin(), length.end());
    all.insert(all.end(), body.begin(), body.end());
    return all;
}

GameServerPeer::GameServerPeer() : client_(qp::kInvalidSocket), port_(0) {
    int error = 0;
    qp::net_startup(&error);
    listener_ = qp::tcp_listen_loopback(0, &port_);
}

GameServerPeer::~GameServerPeer() {
    close_client();
    if (listener_ != qp::kInvalidSocket)
        qp::tcp_close(listener_);
}

bool GameServerPeer::accept() {
    if (listener_ == qp::kInvalidSocket)
        return false;
    client_ = qp::tcp_accept(listener_);
    if (client_ == qp::kInvalidSocket)
        return false;
    qp::socket_set_option(client_, qp::kReceiveTimeout, 5000);
    return true;
}

bool GameServerPeer::send(const Bytes& bytes, const std::vector<size_t>& pieces) {
    size_t at = 0;
    size_t piece = 0;
    while (at < bytes.size()) {
        size_t n = piece < pieces.size() ? pieces[piece++] : bytes.size() - at;
        if (n > bytes.size() - at)
            n = bytes.size() - at;
        uint32_t sent = 0;
        int error = 0;
        if (!qp::tcp_send(client_, &bytes[at], static_cast<uint32_t>(n), &sent, &error))
            return false;
        at += n;
        if (at < bytes.size())
            qp::system_clock().sleep(5); // let each piece arrive on its own
    }
    return true;
}

Bytes GameServerPeer::receive(size_t count) {
    Bytes got(count);
    size_t at = 0;
    while (at < count) {
        const int n = qp::tcp_receive(client_, &got[at], static_cast<uint32_t>(count - at));
        if (n <= 0)
            break;
        at += static_cast<size_t>(n);
    }
    got.resize(at);
    return got;
}

void GameServerPeer::close_client() {
    if (client_ != qp::kInvalidSocket)
        qp::tcp_close(client_);
    client_ = qp::kInvalidSocket;
}

} // namespace quill_test
