#include "transport/CNetClientIO.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "quill/platform/socket.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"
#include "transport/network_log.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes header(unsigned short message, unsigned short length) {
    return Bytes{
        static_cast<unsigned char>(message & 0xFF), static_cast<unsigned char>(message >> 8),
        static_cast<unsigned char>(length & 0xFF), static_cast<unsigned char>(length >> 8)};
}

Bytes packet_bytes(unsigned short message, const Bytes& body) {
    Bytes all = header(message, static_cast<unsigned short>(body.size() + 4));
    all.insert(all.end(), body.begin(), body.end());
    return all;
}

// Feeds a byte stream as the receive thread would: every receive asks for
// exactly the bytes the framing wants, and the network hands over at most
// the next piece. Returns the result of the last CollectPacket.
class Feeder {
public:
    explicit Feeder(CNetClientIO& io) : io_(io) {}

    unsigned long feed(const Bytes& stream, const std::vector<size_t>& pieces) {
        size_t at = 0;
        unsigned long result = CNetIO::MORE_WANTED;
        for (size_t piece : pieces) {
            size_t left_in_piece = piece;
            while (left_in_piece > 0 && at < stream.size()) {
                const size_t n = std::min<size_t>(left_in_piece, io_.GetBytesWanted());
                asked.push_back(io_.GetBytesWanted());
                offsets.push_back(io_.GetBytesHeld());
                memcpy(io_.GetBuf() + io_.GetBytesHeld(), &stream[at], n);
                at += n;
                left_in_piece -= n;
                result = io_.CollectPacket(static_cast<unsigned long>(n));
                if (result == CNetIO::PACKET_COMPLETE) {
                    CNTPacket empty;
                    io_.MakeCompletePacket(empty);
                } else if (result == CNetIO::NET_ERROR) {
                    return result;
                }
            }
        }
        return result;
    }

    std::vector<unsigned long> asked;
    std::vector<unsigned long> offsets;

private:
    CNetClientIO& io_;
};

class Framing : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force{&clock};
    CNetClientIO io;
    Feeder feeder{io};

    void SetUp() override { clock.set_date(2026, 6, 1); }

    std::string log() { return quill_test::read_network_log(); }

    Bytes queued(size_t i) {
        const CNTPacket& p = io.GetRecvQueue().at(i);
        const unsigned char* b = reinterpret_cast<const unsigned char*>(p.GetBuf());
        return Bytes(b, b + p.GetBufSize());
    }
};

TEST_F(Framing, HeaderInPiecesAsksForExactlyTheRest) {
    EXPECT_EQ(feeder.feed(header(1000, 4), {1, 1, 2}), CNetIO::PACKET_COMPLETE);
    EXPECT_EQ(feeder.asked, (std::vector<unsigned long>{4, 3, 2}));
    EXPECT_EQ(feeder.offsets, (std::vector<unsigned long>{0, 1, 2}));
    ASSERT_EQ(io.GetRecvQueue().size(), 1u);
    EXPECT_EQ(queued(0), header(1000, 4)) << "a header-only packet is queued with an empty payload";
    EXPECT_EQ(io.GetRecvQueue()[0].GetBufPoint(), 0);
    EXPECT_EQ(io.GetBytesWanted(), 4u);
    EXPECT_EQ(io.GetReadState(), 0u);
}

TEST_F(Framing, BodyThenNextHeaderStartAgainAtOffsetZero) {
    Bytes stream = packet_bytes(2000, {1, 2, 3, 4, 5});
    const Bytes second = packet_bytes(2001, {9});
    stream.insert(stream.end(), second.begin(), second.end());
    // One large piece: the framing still takes it receive by receive.
    EXPECT_EQ(feeder.feed(stream, {stream.size()}), CNetIO::PACKET_COMPLETE);
    EXPECT_EQ(feeder.asked, (std::vector<unsigned long>{4, 5, 4, 1}));
    EXPECT_EQ(feeder.offsets, (std::vector<unsigned long>{0, 4, 0, 4}));
    ASSERT_EQ(io.GetRecvQueue().size(), 2u);
    EXPECT_EQ(queued(0), packet_bytes(2000, {1, 2, 3, 4, 5}));
    EXPECT_EQ(queued(1), second);
    // The buffer holds nothing of a finished packet.
    EXPECT_EQ(io.GetBuf()[4], 0);
}

TEST_F(Framing, QueuedPacketsReadBackTheirFields) {
    CNTPacket sent;
    sent << static_cast<unsigned short>(3000) << static_cast<unsigned short>(0) << 77 << "text";
    const unsigned char* b = reinterpret_cast<const unsigned char*>(sent.GetBuf());
    const Bytes wire(b, b + sent.GetBufSize());
    feeder.feed(wire, {3, 3, 3, 3, 3});
    ASSERT_EQ(io.GetRecvQueue().size(), 1u);
    CNTPacket& in = io.GetRecvQueue()[0];
    unsigned short message = 0, length = 0;
    int value = 0;
    std::string text;
    in >> message >> length >> value >> text;
    EXPECT_EQ(message, 3000);
    EXPECT_EQ(length, wire.size());
    EXPECT_EQ(value, 77);
    EXPECT_EQ(text, "text");
}

TEST_F(Framing, LengthLimits) {
    EXPECT_EQ(feeder.feed(packet_bytes(1000, Bytes(4092, 7)), {100000}), CNetIO::PACKET_COMPLETE);
    EXPECT_EQ(io.GetRecvQueue().back().GetBufSize(), 4096);

    CNetClientIO too_long;
    Feeder f2(too_long);
    EXPECT_EQ(f2.feed(header(1000, 4097), {4}), CNetIO::NET_ERROR);
    EXPECT_NE(log().find("메시지가 너무 길다. 패킷번호 : 1000 --- 메시지길이 : 4097\n"),
              std::string::npos);

    for (unsigned short length : {0, 1, 3}) {
        CNetClientIO short_one;
        Feeder f3(short_one);
        EXPECT_EQ(f3.feed(header(1000, length), {4}), CNetIO::NET_ERROR) << length;
        EXPECT_TRUE(short_one.GetRecvQueue().empty());
    }
}

TEST_F(Framing, StrangeMessageNumbersAreOnlyAWarning) {
    for (unsigned short message : {100, 101, 62000, 62001})
        feeder.feed(header(message, 4), {4});
    EXPECT_EQ(io.GetRecvQueue().size(), 4u) << "every packet is delivered";
    const std::string text = log();
    EXPECT_NE(text.find("패킷의 메시지 번호가 이상하다. 메시지 번호 : 100\n"), std::string::npos);
    EXPECT_NE(text.find("패킷의 메시지 번호가 이상하다. 메시지 번호 : 62001\n"), std::string::npos);
    EXPECT_EQ(text.find("메시지 번호 : 101\n"), std::string::npos);
    EXPECT_EQ(text.find("메시지 번호 : 62000\n"), std::string::npos);
}

TEST_F(Framing, DeliveriesBeyondWhatWasAskedAreErrors) {
    // More body bytes than the body has left.
    feeder.feed(header(1000, 10), {4});
    EXPECT_EQ(io.CollectPacket(7), CNetIO::NET_ERROR);
    EXPECT_NE(log().find("원하는 길이보다 더 긴 메시지가 왔다. 메시지 길이 : 7\n"),
              std::string::npos);
    EXPECT_EQ(io.GetBytesWanted(), 6u) << "an error leaves the state as it was";

    CNetClientIO fresh;
    EXPECT_EQ(fresh.CollectPacket(2), CNetIO::MORE_WANTED);
    EXPECT_EQ(fresh.CollectPacket(3), CNetIO::NET_ERROR);
    EXPECT_EQ(fresh.CollectPacket(0xFFFFFFFFul), CNetIO::NET_ERROR);
    EXPECT_NE(log().find("헤더길이가 4바이트 보다 크다\n"), std::string::npos);
}

TEST(CNetIO, StartsWithAHeaderWantedAndItsRecordsReady) {
    CNetClientIO io;
    EXPECT_FALSE(io.IsConnected());
    EXPECT_EQ(io.GetBytesWanted(), 4u);
    EXPECT_EQ(io.GetOverlappedIN()->operation, 0u);
    EXPECT_EQ(io.GetOverlappedOUT()->operation, 1u);
    EXPECT_EQ(io.GetOverlappedIN()->client,
              static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&io)));
    EXPECT_NE(io.GetOverlappedIN()->overlapped.hEvent, nullptr);
    EXPECT_NE(io.GetOverlappedIN()->overlapped.hEvent, io.GetOverlappedOUT()->overlapped.hEvent);

    io.AddSendBytes(10);
    io.AddSendBytes(5);
    io.AddRecvBytes(7);
    EXPECT_EQ(io.GetSendBytes(), 15u);
    EXPECT_EQ(io.GetRecvBytes(), 7u);
    io.InitSendBytes();
    EXPECT_EQ(io.GetSendBytes(), 0u);
    EXPECT_EQ(io.GetRecvBytes(), 7u);

    // A copy has events of its own: destroying both must not release one
    // twice.
    CNetClientIO copy(io);
    EXPECT_NE(copy.GetOverlappedIN()->overlapped.hEvent, io.GetOverlappedIN()->overlapped.hEvent);
    EXPECT_EQ(copy.GetRecvBytes(), 7u);
}

// A buffer size the system takes as it is returns 0; one it changes (Linux
// doubles what it is given) returns -1 and says so in the log. Each setter
// reaches its own buffer: the two sizes keep their ratio when read back.
TEST(CNetIO, BufferSizesReachTheirOwnBufferAndReportWhatTheSystemTook) {
    quill_test::ScratchDir scratch;
    CNetClientIO io;
    EXPECT_EQ(-1, io.SetSendBuffer(20000)) << "no socket yet";
    EXPECT_EQ(-1, io.SetRecvBuffer(20000)) << "no socket yet";
    EXPECT_EQ(std::string::npos, quill_test::read_network_log().find("didn't work"));

    int error = 0;
    ASSERT_TRUE(qp::net_startup(&error)) << error;
    io.SetSocket(qp::tcp_socket());
    ASSERT_TRUE(io.IsConnected());
    const int sent = io.SetSendBuffer(20000);
    const int received = io.SetRecvBuffer(40000);
    int send_size = 0, receive_size = 0;
    ASSERT_TRUE(qp::socket_get_option(io.GetSocket(), qp::kSendBuffer, &send_size));
    ASSERT_TRUE(qp::socket_get_option(io.GetSocket(), qp::kReceiveBuffer, &receive_size));
    EXPECT_EQ(2 * send_size, receive_size);
    EXPECT_EQ(send_size == 20000 ? 0 : -1, sent);
    EXPECT_EQ(receive_size == 40000 ? 0 : -1, received);
    const bool logged = quill_test::read_network_log().find(
                            "Error. setsockopt() didn't work actually.\n") != std::string::npos;
    EXPECT_EQ(sent != 0 || received != 0, logged);
    io.Close();
    qp::net_cleanup();
}

} // namespace
