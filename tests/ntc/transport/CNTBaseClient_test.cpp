#include "transport/CNTBaseClient.h"
#include "protocol/CNTProxy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "quill/platform/sync.h"
#include "support/game_server_peer.h"
#include "support/scratch_dir.h"
#include "support/test_clock.h"
#include "transport/network_log.h"

using quill_test::Bytes;
using quill_test::GameServerPeer;
using quill_test::server_packet;
using quill_test::u32;

namespace {

class TestClient : public CNTBaseClient {
public:
    std::atomic<int> lost{0};
    qp::Event lost_event{true, false};
    qp::Event packet_event{false, false};
    std::mutex mutex;
    std::vector<Bytes> packets;

    void ProcessConnectionLost() override {
        ++lost;
        lost_event.set();
    }

    unsigned long ProcessPacketFromServer(CNTPacket& packet) override {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(packet.GetBuf());
        {
            std::lock_guard<std::mutex> hold(mutex);
            packets.emplace_back(b, b + packet.GetBufSize());
        }
        packet_event.set();
        return 0;
    }

    size_t dispatched() {
        std::lock_guard<std::mutex> hold(mutex);
        return packets.size();
    }

    // Dispatches from the test's thread until count packets arrived.
    bool pump_until(size_t count) {
        for (int i = 0; i < 500; ++i) {
            ProcessQueuedMessageFromServer();
            {
                std::lock_guard<std::mutex> hold(mutex);
                if (packets.size() >= count)
                    return true;
            }
            qp::system_clock().sleep(10);
        }
        return false;
    }
};

class Endpoint : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;
    GameServerPeer server;
    TestClient client;

    void SetUp() override { ASSERT_TRUE(client.Startup()); }
    void TearDown() override { client.Disconnect(); }

    bool connect(const char* address = "127.0.0.1") {
        client.SetServerAddr(address);
        client.SetServerPort(server.port());
        return client.ConnectToServer() && server.accept();
    }

    std::string log() { return quill_test::read_network_log(); }
};

TEST_F(Endpoint, PacketsArriveWholeWhateverTheirPieces) {
    ASSERT_TRUE(connect());
    EXPECT_TRUE(client.IsConnected());
    const Bytes first = server_packet(2000, {u32(0xA1B2C3D4)});
    const Bytes header_only = server_packet(2001, {});
    Bytes both = first;
    both.insert(both.end(), header_only.begin(), header_only.end());
    ASSERT_TRUE(server.send(both, {1, 1, 2, 3}));
    ASSERT_TRUE(client.pump_until(2));
    EXPECT_EQ(client.packets[0], first);
    EXPECT_EQ(client.packets[1], header_only);

    CNTPacket in;
    in.Write(client.packets[0].data(), static_cast<unsigned short>(client.packets[0].size()));
    in.SetBufPoint(4);
    unsigned int value = 0;
    in >> value;
    EXPECT_EQ(value, 0xA1B2C3D4u);
    EXPECT_NE(log().find("ConnectToServer() : Success\n"), std::string::npos);
    EXPECT_EQ(client.GetRecvBytes(), both.size());
}

TEST_F(Endpoint, NamesAreResolvedAndBadOnesRefused) {
    ASSERT_TRUE(connect("localhost"));
    client.Disconnect();

    TestClient other;
    other.SetServerAddr("no-such-host.invalid");
    other.SetServerPort(server.port());
    EXPECT_FALSE(other.ConnectToServer());
    EXPECT_FALSE(other.IsConnected());
    EXPECT_NE(log().find("서버 어드레스를 찾을 수 엄다\n"), std::string::npos);
}

TEST_F(Endpoint, AddressLongerThanItsFieldIsRefused) {
    const std::string long_name(30, 'a');
    client.SetServerAddr(long_name.c_str());
    EXPECT_STREQ(client.GetServerAddr(), "");
    client.SetServerAddr(std::string(29, 'b').c_str());
    EXPECT_EQ(std::string(client.GetServerAddr()), std::string(29, 'b'));
}

TEST_F(Endpoint, ServerClosingIsReportedExactlyOnce) {
    ASSERT_TRUE(connect());
    server.close_client();
    ASSERT_TRUE(client.lost_event.wait(5000));
    qp::system_clock().sleep(100);
    EXPECT_EQ(client.lost.load(), 1);
}

TEST_F(Endpoint, OwnDisconnectIsNoLoss) {
    ASSERT_TRUE(connect());
    client.Disconnect();
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.lost_event.wait(200));
    EXPECT_EQ(client.lost.load(), 0);
}

TEST_F(Endpoint, ReconnectStartsFromAFreshHeader) {
    ASSERT_TRUE(connect());
    // Half a header, then the server goes away.
    ASSERT_TRUE(server.send({0xD0, 0x07}));
    qp::system_clock().sleep(50);
    server.close_client();
    ASSERT_TRUE(client.lost_event.wait(5000));

    ASSERT_TRUE(client.ConnectToServer());
    ASSERT_TRUE(server.accept());
    EXPECT_EQ(client.GetRecvBytes(), 0u);
    const Bytes packet = server_packet(2002, {u32(7)});
    ASSERT_TRUE(server.send(packet));
    ASSERT_TRUE(client.pump_until(1));
    EXPECT_EQ(client.packets[0], packet);
}

TEST_F(Endpoint, ReceiveThreadDispatchesWhenAskedTo) {
    client.SetDispatchInRecvThread(true);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(server.send(server_packet(2003, {u32(1)})));
    // No ProcessQueuedMessageFromServer from this thread.
    EXPECT_TRUE(client.packet_event.wait(5000));
}

// A proxy with one request waiting for its reply.
class WaitingProxy : public CNTProxy {
public:
    void wait_for_reply() {
        m_Lock.Enter();
        m_NestedReplies[1] = nullptr;
        m_Lock.Leave();
    }
};

TEST_F(Endpoint, PendingRequestLetsTheReceiveThreadDispatch) {
    WaitingProxy proxy;
    client.Attach(&proxy);
    EXPECT_EQ(proxy.GetOwner(), static_cast<CNTBase*>(&client));
    ASSERT_TRUE(connect());
    // Nothing waits yet: a packet stays queued for the host's frame.
    ASSERT_TRUE(server.send(server_packet(2004, {u32(1)})));
    EXPECT_FALSE(client.packet_event.wait(300));
    proxy.wait_for_reply();
    ASSERT_TRUE(server.send(server_packet(2005, {u32(2)})));
    // Dispatched on the receive thread: the one that waited in the queue as
    // soon as the reply's header arrives, the reply itself after its body.
    EXPECT_TRUE(client.packet_event.wait(5000))
        << "the reply must reach a blocked caller without the host";
    for (int i = 0; i < 500 && client.dispatched() < 2; ++i)
        qp::system_clock().sleep(10);
    client.Disconnect(); // the proxy goes first, and the thread reads it
    ASSERT_EQ(client.packets.size(), 2u);
    EXPECT_EQ(client.packets[0][0], 2004 & 0xFF) << "queued packets keep their order";
}

TEST_F(Endpoint, BadFramingIsALoss) {
    ASSERT_TRUE(connect());
    ASSERT_TRUE(server.send({0xD0, 0x07, 0x01, 0x10})); // length 4097
    ASSERT_TRUE(client.lost_event.wait(5000));
    EXPECT_EQ(client.lost.load(), 1);
    EXPECT_NE(log().find("error!!! CollectPacket() : error \n"), std::string::npos);
}

TEST_F(Endpoint, SendsGoOutWholeAndAreCounted) {
    ASSERT_TRUE(connect());
    CNTPacket packet;
    packet << static_cast<unsigned short>(1500) << static_cast<unsigned short>(0) << 42;
    EXPECT_EQ(client.SendToServer(packet), 0u);
    EXPECT_EQ(server.receive(8), (Bytes{0xDC, 0x05, 8, 0, 42 ^ 0x6B, 0, 0, 0}));
    EXPECT_EQ(client.GetSendBytes(), 8u);

    std::vector<char> too_big(4097, 'x');
    EXPECT_EQ(client.SendPacket(too_big.data(), 4097),
              static_cast<unsigned long>(CNetIO::NET_ERROR));
}

TEST_F(Endpoint, ClockSynchronisationAnswersFromTheSecondOn) {
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force(&clock);
    ASSERT_TRUE(connect());

    unsigned long server_time = 5000, latency = 20;
    client.SC_SetNetTime(server_time, latency); // the first: no answer
    EXPECT_EQ(client.GetNetTime(), 1000u);
    clock.sleep(250); // the tick count moves on by 250 ms
    server_time = 9999;
    client.SC_SetNetTime(server_time, latency);
    // 1250 - 1000 + 5000 = 5250 = 0x1482
    EXPECT_EQ(server.receive(8), (Bytes{0xF2, 0x03, 8, 0, 0x82 ^ 0x6B, 0x14, 0, 0}));
    EXPECT_EQ(client.GetLatency(), 20u);
}

TEST(EndpointTraffic, WindowClosesAfterFiveSeconds) {
    quill_test::ScratchDir scratch;
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force(&clock);
    TestClient client;
    clock.set_time(10, 0, 0);
    client.CheckTraffic(); // opens a window now
    client.AddSendBytes(10);
    client.AddRecvBytes(20);
    clock.set_time(10, 0, 4);
    client.UpdateFrame();
    EXPECT_EQ(client.GetSendBytes(), 10u);
    EXPECT_EQ(client.GetRecvBytes(), 20u);
    clock.set_time(10, 0, 5);
    client.UpdateFrame();
    EXPECT_EQ(client.GetSendBytes(), 0u);
    EXPECT_EQ(client.GetRecvBytes(), 0u);
}

} // namespace
