// The life of a connection against real peers on loopback: reconnecting
// from callbacks on either thread while the old server still streams, one
// loss report for every way a connection can end without the game's own
// Disconnect, and clients destroyed from their own callbacks. Every case
// runs many rounds, since what it guards against are races.
#include "protocol/CNTProxy_CLToGS.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "quill/platform/socket.h"
#include "quill/platform/sync.h"
#include "support/game_server_peer.h"
#include "support/scratch_dir.h"
#include "transport/network_log.h"

using quill_test::Bytes;
using quill_test::GameServerPeer;
using quill_test::server_packet;
using quill_test::u16;
using quill_test::u32;

namespace {

const int kRounds = 20;
enum : unsigned short { OLD_STREAM = 3000, NEW_STREAM = 3001 };

void pause_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Waits up to 5 s for done().
bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
        if (done())
            return true;
        pause_ms(5);
    }
    return done();
}

Bytes numbered(unsigned short message, unsigned n) {
    return server_packet(message, {u32(n)});
}

class LifeClient : public CNTBaseClient {
public:
    struct Delivered {
        unsigned short message;
        unsigned long value;
        std::thread::id thread;
    };

    std::atomic<int> lost{0};
    std::atomic<bool> fail_sends{false};
    std::function<void()> on_lost;
    // Called for every message that is no reply; it runs in the dispatch.
    std::function<void(unsigned short message, unsigned long value)> on_message;

    ~LifeClient() override { Disconnect(); }

    void ProcessConnectionLost() override {
        ++lost;
        if (on_lost)
            on_lost();
    }

    unsigned long SendToServer(CNTPacket& packet) override {
        if (fail_sends)
            return CNetIO::NET_ERROR;
        return CNTBaseClient::SendToServer(packet);
    }

    unsigned long ProcessPacketFromServer(CNTPacket& packet) override {
        unsigned short message = 0, length = 0;
        packet >> message >> length;
        if (message >= 10002 && message <= 10008) {
            unsigned short sequence = 0;
            packet >> sequence;
            GetProxy()->DeliverNestedReply(sequence, packet);
            return 0;
        }
        unsigned long value = 0;
        packet >> value;
        {
            std::lock_guard<std::mutex> hold(mutex_);
            delivered_.push_back({message, value, std::this_thread::get_id()});
        }
        if (on_message)
            on_message(message, value);
        return 0;
    }

    std::vector<Delivered> delivered() {
        std::lock_guard<std::mutex> hold(mutex_);
        return delivered_;
    }
    size_t count_of(unsigned short message) {
        size_t count = 0;
        for (const Delivered& d : delivered())
            count += d.message == message;
        return count;
    }

    bool connect_to(const GameServerPeer& server) {
        SetServerAddr("127.0.0.1");
        SetServerPort(server.port());
        return ConnectToServer();
    }
    // Starts up, connects and has the server take the connection.
    bool start_with(GameServerPeer& server) {
        return Startup() && connect_to(server) && server.accept();
    }

    // The game's frame loop until done(), for at most 5 s.
    bool pump_until(const std::function<bool()>& done) {
        return eventually([&] {
            ProcessQueuedMessageFromServer();
            return done();
        });
    }

private:
    std::mutex mutex_;
    std::vector<Delivered> delivered_;
};

class Lifecycle : public ::testing::Test {
protected:
    quill_test::ScratchDir scratch;

    // The new server's messages arrived, all of them, in order, and nothing
    // of the old server's after the switch.
    static void expect_only_new_stream_after(const std::vector<LifeClient::Delivered>& all,
                                             size_t switched_at, unsigned count) {
        unsigned next = 0;
        for (size_t i = switched_at; i < all.size(); ++i) {
            ASSERT_EQ(NEW_STREAM, all[i].message) << "old message " << all[i].value << " at " << i;
            EXPECT_EQ(next, all[i].value);
            ++next;
        }
        EXPECT_EQ(count, next);
    }

    // A reconnect scenario, kRounds times: each round with a fresh old and
    // new server and a client started on the old one. A fatal failure ends
    // the rounds, as it would end the test.
    static void reconnect_rounds(
        const std::function<void(GameServerPeer& old_server, GameServerPeer& new_server,
                                 LifeClient& client)>& scenario) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(round);
            GameServerPeer old_server, new_server;
            LifeClient client;
            ASSERT_TRUE(client.start_with(old_server));
            scenario(old_server, new_server, client);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
};

TEST_F(Lifecycle, ReconnectFromACallbackOnTheGameThreadWhileTheOldServerStreams) {
    reconnect_rounds(
        [](GameServerPeer& old_server, GameServerPeer& new_server, LifeClient& client) {
            old_server.stream([](unsigned n) { return numbered(OLD_STREAM, n); });

            std::atomic<bool> switched{false};
            size_t switched_at = 0;
            client.on_message = [&](unsigned short message, unsigned long value) {
                if (message != OLD_STREAM || value < 2 || switched)
                    return;
                switched_at = client.delivered().size();
                client.Disconnect();
                client.SetServerPort(new_server.port());
                EXPECT_TRUE(client.ConnectToServer());
                switched = true;
            };
            ASSERT_TRUE(client.pump_until([&] { return switched.load(); }));
            ASSERT_TRUE(new_server.accept());
            Bytes burst;
            for (unsigned n = 0; n < 10; ++n) {
                const Bytes one = numbered(NEW_STREAM, n);
                burst.insert(burst.end(), one.begin(), one.end());
            }
            ASSERT_TRUE(new_server.send(burst, {3, 9, 1}));
            ASSERT_TRUE(client.pump_until([&] { return client.count_of(NEW_STREAM) >= 10; }));
            pause_ms(20); // anything late of the old stream would show now
            client.ProcessQueuedMessageFromServer();

            expect_only_new_stream_after(client.delivered(), switched_at, 10);
            EXPECT_EQ(0, client.lost.load());
            EXPECT_TRUE(client.IsConnected());
            client.Disconnect();
            old_server.stop_streaming();
        });
}

TEST_F(Lifecycle, ReconnectFromACallbackOnTheReceiveThreadWhileACallWaits) {
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        GameServerPeer old_server, new_server;
        CNTProxy_CLToGS proxy;
        LifeClient client;
        client.Attach(&proxy);
        proxy.SetReplyWaitTime(150);
        ASSERT_TRUE(client.start_with(old_server));
        old_server.serve([](const Bytes&) { return Bytes(); }); // never answers
        old_server.stream([](unsigned n) { return numbered(OLD_STREAM, n); });

        std::atomic<bool> switched{false};
        std::atomic<bool> call_made{false};
        std::thread::id switched_on;
        size_t switched_at = 0;
        client.on_message = [&](unsigned short message, unsigned long) {
            if (message != OLD_STREAM || !call_made || switched)
                return;
            switched_on = std::this_thread::get_id();
            switched_at = client.delivered().size();
            client.Disconnect();
            client.SetServerPort(new_server.port());
            EXPECT_TRUE(client.ConnectToServer()) << quill_test::read_network_log();
            switched = true;
        };
        // The game's thread blocks in a call; only the receive thread can
        // dispatch meanwhile.
        GS_RESULT outcome = GS_OK;
        unsigned long result = 0;
        std::thread game([&] {
            call_made = true;
            outcome = proxy.CS_CancelDeleteAvatar(1, result);
        });
        const std::thread::id game_thread = game.get_id();
        ASSERT_TRUE(eventually([&] { return switched.load(); }));
        ASSERT_TRUE(new_server.accept());
        for (unsigned n = 0; n < 10; ++n)
            ASSERT_TRUE(new_server.send(numbered(NEW_STREAM, n)));
        game.join();
        EXPECT_EQ(GS_FAIL, outcome); // its connection ended under it
        EXPECT_EQ(3u, result);
        ASSERT_TRUE(client.pump_until([&] { return client.count_of(NEW_STREAM) >= 10; }));
        pause_ms(20);
        client.ProcessQueuedMessageFromServer();

        EXPECT_NE(game_thread, switched_on);
        EXPECT_NE(std::this_thread::get_id(), switched_on);
        expect_only_new_stream_after(client.delivered(), switched_at, 10);
        // The old call's time-out did not close the new connection.
        EXPECT_TRUE(client.IsConnected());
        EXPECT_EQ(0, client.lost.load());
        client.Disconnect();
        old_server.stop_streaming();
        old_server.stop_serving();
    }
}

TEST_F(Lifecycle, ReconnectFromConnectionLost) {
    reconnect_rounds(
        [](GameServerPeer& old_server, GameServerPeer& new_server, LifeClient& client) {
            std::atomic<bool> reconnected{false};
            client.on_lost = [&] {
                client.SetServerPort(new_server.port());
                reconnected = client.ConnectToServer();
            };
            ASSERT_TRUE(old_server.send(numbered(OLD_STREAM, 0)));
            old_server.close_client();
            ASSERT_TRUE(eventually([&] { return reconnected.load(); }));
            ASSERT_TRUE(new_server.accept());
            for (unsigned n = 0; n < 5; ++n)
                ASSERT_TRUE(new_server.send(numbered(NEW_STREAM, n)));
            ASSERT_TRUE(client.pump_until([&] { return client.count_of(NEW_STREAM) >= 5; }));
            EXPECT_EQ(1, client.lost.load());
            client.Disconnect();
        });
}

// One way for a connection to end: what is set up before, and the trigger.
struct Ending {
    const char* name;
    std::function<void(GameServerPeer& server, LifeClient& client, CNTProxy_CLToGS& proxy)> end;
    const char* log_line; // null when nothing particular is logged
};

TEST_F(Lifecycle, EveryEndNotOfTheGamesOwnIsReportedExactlyOnce) {
    const std::vector<Ending> endings = {
        {"peer close", [](GameServerPeer& server, LifeClient&, CNTProxy_CLToGS&) {
             server.close_client();
         }, nullptr},
        {"peer reset during sends",
         [](GameServerPeer& server, LifeClient& client, CNTProxy_CLToGS& proxy) {
             // Sent from this thread: a sending thread that ended together
             // with the receive thread could deadlock the two under Wine.
             for (int i = 0; i < 2000 && client.lost.load() == 0; ++i) {
                 proxy.CS_EnterSession();
                 if (i == 5)
                     server.reset_client();
                 pause_ms(1);
             }
         }, nullptr},
        {"framing error", [](GameServerPeer& server, LifeClient&, CNTProxy_CLToGS&) {
             ASSERT_TRUE(server.send({0xD0, 0x07, 0x01, 0x10})); // length 4097
         }, "error!!! CollectPacket() : error \n"},
        {"reply time-out", [](GameServerPeer&, LifeClient&, CNTProxy_CLToGS& proxy) {
             proxy.SetReplyWaitTime(30);
             unsigned long result = 0;
             EXPECT_EQ(GS_FAIL, proxy.CS_CancelDeleteAvatar(1, result));
             EXPECT_EQ(0u, proxy.GetNestedReplyCount());
         }, nullptr},
        {"failed net-time answer", [](GameServerPeer&, LifeClient& client, CNTProxy_CLToGS&) {
             unsigned long server_time = 1, latency = 2;
             client.SC_SetNetTime(server_time, latency);
             client.fail_sends = true;
             client.SC_SetNetTime(server_time, latency);
         }, "Send Error!!! NetTime보내다가에러 났다"},
        {"failed send", [](GameServerPeer&, LifeClient& client, CNTProxy_CLToGS& proxy) {
             client.fail_sends = true;
             proxy.CS_EnterSession();
         }, "Send Error!!!"},
    };
    for (const Ending& ending : endings) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(std::string(ending.name) + " round " + std::to_string(round));
            GameServerPeer server;
            CNTProxy_CLToGS proxy;
            LifeClient client;
            client.Attach(&proxy);
            qp::Event lost_event(true, false);
            std::atomic<bool> on_receive_thread{true};
            const std::thread::id test_thread = std::this_thread::get_id();
            client.on_lost = [&] {
                if (std::this_thread::get_id() == test_thread)
                    on_receive_thread = false;
                lost_event.set();
            };
            ASSERT_TRUE(client.start_with(server));
            ending.end(server, client, proxy);
            ASSERT_TRUE(lost_event.wait(5000));
            pause_ms(20); // a second report would come now
            EXPECT_EQ(1, client.lost.load());
            EXPECT_TRUE(on_receive_thread.load());
            EXPECT_FALSE(client.IsConnected()) << "no game runs on a dead socket";
            if (ending.log_line && round == 0) {
                const std::string log = quill_test::read_network_log();
                EXPECT_NE(log.find(ending.log_line), std::string::npos) << log;
            }
            client.Disconnect();
            EXPECT_EQ(1, client.lost.load());
        }
    }
}

TEST_F(Lifecycle, TheGamesOwnDisconnectIsNoLossWhileTheServerStreams) {
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        GameServerPeer server;
        LifeClient client;
        client.SetDispatchInRecvThread(round % 2 == 1);
        ASSERT_TRUE(client.start_with(server));
        server.stream([](unsigned n) { return numbered(OLD_STREAM, n); });
        ASSERT_TRUE(client.pump_until([&] { return client.count_of(OLD_STREAM) >= 3; }));
        client.Disconnect();
        EXPECT_FALSE(client.IsConnected());
        pause_ms(20);
        EXPECT_EQ(0, client.lost.load());
        server.stop_streaming();
    }
}

// Destroys itself when the first message reaches it.
class SelfDestroyingClient : public LifeClient {
public:
    explicit SelfDestroyingClient(std::atomic<bool>* destroyed) : destroyed_(destroyed) {}
    ~SelfDestroyingClient() override { *destroyed_ = true; }
    unsigned long ProcessPacketFromServer(CNTPacket&) override {
        delete this;
        return 0;
    }

private:
    std::atomic<bool>* destroyed_;
};

TEST_F(Lifecycle, ClientDestroyedFromItsOwnCallbackOnEitherThread) {
    for (int round = 0; round < 2 * kRounds; ++round) {
        SCOPED_TRACE(round);
        const bool on_receive_thread = round % 2 == 1;
        GameServerPeer server;
        std::atomic<bool> destroyed{false};
        SelfDestroyingClient* client = new SelfDestroyingClient(&destroyed);
        client->SetDispatchInRecvThread(on_receive_thread);
        ASSERT_TRUE(client->start_with(server));
        server.stream([](unsigned n) { return numbered(OLD_STREAM, n); });
        if (on_receive_thread) {
            ASSERT_TRUE(eventually([&] { return destroyed.load(); }));
        } else {
            for (int i = 0; i < 1000 && !destroyed; ++i) {
                client->ProcessQueuedMessageFromServer();
                pause_ms(5);
            }
            ASSERT_TRUE(destroyed.load());
        }
        // The client's end reaches the server: its socket was closed.
        bool closed = false;
        for (int i = 0; i < 100 && !closed; ++i)
            server.receive_packet(&closed);
        EXPECT_TRUE(closed);
        // A receive thread left to end by itself must not end together with
        // the streaming thread: the two can deadlock at thread exit under
        // Wine. Nothing can be joined here, so give it time.
        if (on_receive_thread)
            pause_ms(100);
        server.stop_streaming();
    }
}

} // namespace
