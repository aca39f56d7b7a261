// A server message built byte by byte from the wire format, independent of
// the library's packet writer: little-endian fields, each its own chunk,
// whose bytes at chunk offsets 0, 4, 8, ... are XOR-ed with the scramble
// key (except in message 508, which travels in the clear).
#ifndef QUILL_TESTS_NTC_PROTOCOL_SERVER_MESSAGE_H
#define QUILL_TESTS_NTC_PROTOCOL_SERVER_MESSAGE_H

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "transport/CNTPacket.h"

namespace quill_test {

class ServerMessage {
public:
    explicit ServerMessage(uint16_t number) : number_(number) {
        bytes_ = {static_cast<uint8_t>(number & 0xFF), static_cast<uint8_t>(number >> 8), 4, 0};
    }

    ServerMessage& u8(uint8_t value) { return chunk(&value, 1); }
    ServerMessage& i16(int16_t value) { return le(static_cast<uint16_t>(value), 2); }
    ServerMessage& u16(uint16_t value) { return le(value, 2); }
    ServerMessage& u32(uint32_t value) { return le(value, 4); }
    ServerMessage& f32(float value) {
        uint32_t bits;
        memcpy(&bits, &value, 4);
        return le(bits, 4);
    }
    ServerMessage& f64(double value) {
        uint8_t raw[8];
        uint64_t bits;
        memcpy(&bits, &value, 8);
        for (int i = 0; i < 8; ++i)
            raw[i] = static_cast<uint8_t>(bits >> (8 * i));
        return chunk(raw, 8);
    }
    // A text: its byte count, then its bytes, as two chunks.
    ServerMessage& text(const std::string& bytes) {
        u16(static_cast<uint16_t>(bytes.size()));
        return chunk(bytes.data(), bytes.size());
    }
    // A movement state: x, z, yaw, speed.
    ServerMessage& movement(float x, float z, float yaw, float speed) {
        return f32(x).f32(z).f32(yaw).f32(speed);
    }
    // A vector: x, z.
    ServerMessage& vec(float x, float z) { return f32(x).f32(z); }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

    // The packet as the transport hands it to the dispatcher: the whole
    // message stored as received, cursor at 0.
    CNTPacket packet() const {
        CNTPacket packet;
        packet.Write(bytes_.data(), static_cast<unsigned short>(bytes_.size()));
        packet.SetBufPoint(0);
        return packet;
    }

private:
    ServerMessage& le(uint32_t value, int width) {
        uint8_t raw[4];
        for (int i = 0; i < width; ++i)
            raw[i] = static_cast<uint8_t>(value >> (8 * i));
        return chunk(raw, width);
    }

    ServerMessage& chunk(const void* data, size_t size) {
        const uint8_t* in = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            bytes_.push_back(number_ != 508 && i % 4 == 0 ? in[i] ^ 0x6B : in[i]);
        bytes_[2] = static_cast<uint8_t>(bytes_.size() & 0xFF);
        bytes_[3] = static_cast<uint8_t>(bytes_.size() >> 8);
        return *this;
    }

    uint16_t number_;
    std::vector<uint8_t> bytes_;
};

} // namespace quill_test

#endif
