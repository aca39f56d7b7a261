#include "support/game_server_peer.h"

#include <string.h>

#include <chrono>

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

Bytes u8(unsigned value) {
    return Bytes{static_cast<unsigned char>(value & 0xFF)};
}

Bytes i16(int value) {
    return u16(static_cast<unsigned>(value) & 0xFFFF);
}

Bytes i32(int32_t value) {
    return u32(static_cast<uint32_t>(value));
}

Bytes f32(float value) {
    uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value, "4-byte float");
    memcpy(&bits, &value, sizeof bits);
    return u32(bits);
}

Bytes text(const std::string& value) {
    return Bytes(value.begin(), value.end());
}

unsigned short field_u16(const Bytes& packet, size_t offset) {
    if (packet.size() < offset + 2)
        return 0;
    // Offsets are counted from the start of the field's chunk, which for a
    // 16-bit field at offset 4 or 5 is the field itself.
    const unsigned low = packet[offset] ^ 0x6B;
    return static_cast<unsigned short>(low | (packet[offset + 1] << 8));
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
    stop_streaming();
    stop_serving();
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

Bytes GameServerPeer::receive_packet(bool* closed) {
    if (closed)
        *closed = false;
    Bytes packet;
    packet.reserve(4096);
    size_t wanted = 4;
    while (packet.size() < wanted) {
        unsigned char buffer[4096];
        const size_t ask = wanted - packet.size();
        const int n = qp::tcp_receive(client_, buffer, static_cast<uint32_t>(ask));
        if (n <= 0) {
            if (closed)
                *closed = n == 0;
            return Bytes();
        }
        packet.insert(packet.end(), buffer, buffer + n);
        if (wanted == 4 && packet.size() == 4) {
            wanted = packet[2] | (packet[3] << 8);
            if (wanted < 4)
                wanted = 4;
        }
    }
    return packet;
}

void GameServerPeer::serve(std::function<Bytes(const Bytes& request)> answer) {
    stop_serving();
    stopping_ = false;
    server_ = std::thread([this, answer] {
        while (!stopping_) {
            bool closed = false;
            const Bytes request = receive_packet(&closed);
            if (request.empty()) {
                if (!closed && client_ != qp::kInvalidSocket)
                    continue; // a quiet spell
                if (!stopping_)
                    client_closed_ = true;
                break;
            }
            {
                std::lock_guard<std::mutex> hold(mutex_);
                requests_.push_back(request);
            }
            const Bytes reply = answer(request);
            if (!reply.empty() && !send(reply))
                break;
        }
        // End only when told: a thread that ends while the client's receive
        // thread ends too can deadlock the two under Wine (both wait for the
        // loader's lock at thread exit), so the fixture ends them in turn.
        while (!stopping_)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
}

void GameServerPeer::stop_serving() {
    if (!server_.joinable())
        return;
    stopping_ = true;
    if (client_ != qp::kInvalidSocket)
        qp::tcp_shutdown(client_);
    server_.join();
}

std::vector<Bytes> GameServerPeer::requests() {
    std::lock_guard<std::mutex> hold(mutex_);
    return requests_;
}

bool GameServerPeer::wait_for_requests(size_t count, int timeout_ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < end) {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            if (requests_.size() >= count)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void GameServerPeer::stream(std::function<Bytes(unsigned n)> make) {
    stop_streaming();
    streaming_ = true;
    streamer_ = std::thread([this, make] {
        bool broken = false;
        for (unsigned n = 0; streaming_; ++n) {
            if (!broken)
                broken = !send(make(n));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // Like the serving thread, this one ends only when told, never
        // together with the client's receive thread (see serve).
    });
}

void GameServerPeer::stop_streaming() {
    if (!streamer_.joinable())
        return;
    streaming_ = false;
    streamer_.join();
}

void GameServerPeer::reset_client() {
    if (client_ != qp::kInvalidSocket)
        qp::tcp_reset(client_);
    client_ = qp::kInvalidSocket;
}

void GameServerPeer::close_client() {
    if (client_ != qp::kInvalidSocket)
        qp::tcp_close(client_);
    client_ = qp::kInvalidSocket;
}

} // namespace quill_test
