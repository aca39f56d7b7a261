// The client endpoint on loopback against raw sockets doing the same work,
// in one run:
//  (a) request/answer round trips: the endpoint sends a 16-byte packet, the
//      server answers with 16 bytes, the reply is dispatched on the receive
//      thread; the reference sends and receives the same bytes with plain
//      blocking socket calls. Median and 99th percentile.
//  (b) a flood of 64-byte packets from the server: packets per second
//      dispatched by ProcessQueuedMessageFromServer, against a loop that
//      does the same two receives per packet (header, then body).
#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <atomic>
#include <thread>
#include <vector>

#include "quill/platform/clock.h"
#include "quill/platform/socket.h"
#include "quill/platform/sync.h"
#include "transport/CNTBaseClient.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kRoundTrips = 5000;
const int kFloodPackets = 200000;

std::vector<unsigned char> packet_of(unsigned short message, size_t size) {
    std::vector<unsigned char> bytes(size, 0x11);
    bytes[0] = static_cast<unsigned char>(message & 0xFF);
    bytes[1] = static_cast<unsigned char>(message >> 8);
    bytes[2] = static_cast<unsigned char>(size & 0xFF);
    bytes[3] = static_cast<unsigned char>(size >> 8);
    return bytes;
}

bool receive_all(qp::Socket s, void* buffer, uint32_t size) {
    char* at = static_cast<char*>(buffer);
    while (size > 0) {
        const int n = qp::tcp_receive(s, at, size);
        if (n <= 0)
            return false;
        at += n;
        size -= static_cast<uint32_t>(n);
    }
    return true;
}

bool send_all(qp::Socket s, const void* data, uint32_t size) {
    uint32_t sent = 0;
    int error = 0;
    return qp::tcp_send(s, data, size, &sent, &error);
}

// Answers every 16-byte request with a 16-byte packet, or floods.
void echo_server(qp::Socket listener, int requests) {
    qp::Socket client = qp::tcp_accept(listener);
    const std::vector<unsigned char> answer = packet_of(2000, 16);
    unsigned char request[16];
    for (int i = 0; i < requests; ++i) {
        if (!receive_all(client, request, sizeof request) ||
            !send_all(client, answer.data(), static_cast<uint32_t>(answer.size())))
            break;
    }
    qp::tcp_close(client);
}

void flood_server(qp::Socket listener, int packets) {
    qp::Socket client = qp::tcp_accept(listener);
    const std::vector<unsigned char> one = packet_of(2001, 64);
    std::vector<unsigned char> batch;
    for (int i = 0; i < 64; ++i)
        batch.insert(batch.end(), one.begin(), one.end());
    for (int sent = 0; sent < packets; sent += 64)
        if (!send_all(client, batch.data(), static_cast<uint32_t>(batch.size())))
            break;
    unsigned char done;
    qp::tcp_receive(client, &done, 1); // wait until the client has read all
    qp::tcp_close(client);
}

class BenchClient : public CNTBaseClient {
public:
    qp::Event answered{false, false};
    std::atomic<long> dispatched{0};
    void ProcessConnectionLost() override {}
    unsigned long ProcessPacketFromServer(CNTPacket&) override {
        ++dispatched;
        answered.set();
        return 0;
    }
};

struct Stats {
    double median_us;
    double p99_us;
};

Stats stats_of(std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    return Stats{samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

Stats endpoint_round_trips() {
    uint16_t port = 0;
    qp::Socket listener = qp::tcp_listen_loopback(0, &port);
    std::thread server(echo_server, listener, kRoundTrips);
    BenchClient client;
    client.Startup();
    client.SetDispatchInRecvThread(true); // replies wake the caller at once
    client.SetServerAddr("127.0.0.1");
    client.SetServerPort(port);
    client.ConnectToServer();
    std::vector<double> samples;
    CNTPacket request;
    request << static_cast<unsigned short>(1500) << static_cast<unsigned short>(0) << 1 << 2 << 3;
    for (int i = 0; i < kRoundTrips; ++i) {
        const auto start = Clock::now();
        client.SendToServer(request);
        client.answered.wait(qp::kWaitForever);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    client.Disconnect();
    server.join();
    qp::tcp_close(listener);
    return stats_of(samples);
}

Stats raw_round_trips() {
    uint16_t port = 0;
    qp::Socket listener = qp::tcp_listen_loopback(0, &port);
    std::thread server(echo_server, listener, kRoundTrips);
    qp::Socket s = qp::tcp_socket();
    uint32_t address = 0;
    qp::ipv4_parse("127.0.0.1", &address);
    qp::tcp_connect(s, address, port);
    const std::vector<unsigned char> request = packet_of(1500, 16);
    unsigned char answer[16];
    std::vector<double> samples;
    for (int i = 0; i < kRoundTrips; ++i) {
        const auto start = Clock::now();
        send_all(s, request.data(), 16);
        receive_all(s, answer, 4);
        receive_all(s, answer + 4, 12);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    qp::tcp_close(s);
    server.join();
    qp::tcp_close(listener);
    return stats_of(samples);
}

double endpoint_flood() {
    uint16_t port = 0;
    qp::Socket listener = qp::tcp_listen_loopback(0, &port);
    std::thread server(flood_server, listener, kFloodPackets);
    BenchClient client;
    client.Startup();
    client.SetServerAddr("127.0.0.1");
    client.SetServerPort(port);
    const auto start = Clock::now();
    client.ConnectToServer();
    // The host's frame loop: dispatch, then give the core back for a moment
    // as a game would between frames.
    while (client.dispatched < kFloodPackets) {
        client.ProcessQueuedMessageFromServer();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    CNTPacket done;
    done << static_cast<unsigned char>(1);
    client.SendPacket(done.GetBuf(), 1);
    client.Disconnect();
    server.join();
    qp::tcp_close(listener);
    return kFloodPackets / seconds;
}

double raw_flood() {
    uint16_t port = 0;
    qp::Socket listener = qp::tcp_listen_loopback(0, &port);
    std::thread server(flood_server, listener, kFloodPackets);
    qp::Socket s = qp::tcp_socket();
    uint32_t address = 0;
    qp::ipv4_parse("127.0.0.1", &address);
    const auto start = Clock::now();
    qp::tcp_connect(s, address, port);
    unsigned char buffer[4096];
    for (int i = 0; i < kFloodPackets; ++i) {
        receive_all(s, buffer, 4);
        const unsigned length = buffer[2] | (buffer[3] << 8);
        receive_all(s, buffer + 4, length - 4);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    send_all(s, buffer, 1);
    qp::tcp_close(s);
    server.join();
    qp::tcp_close(listener);
    return kFloodPackets / seconds;
}

} // namespace

int main() {
    int error = 0;
    qp::net_startup(&error);
    const Stats raw = raw_round_trips();
    const Stats ours = endpoint_round_trips();
    printf("round trip, raw sockets:  median %.1f us, p99 %.1f us\n", raw.median_us, raw.p99_us);
    printf("round trip, endpoint:     median %.1f us, p99 %.1f us\n", ours.median_us, ours.p99_us);
    printf("ratio to raw: median %.2fx, p99 %.2fx (target: within 1.5x)\n",
           ours.median_us / raw.median_us, ours.p99_us / raw.p99_us);
    const double raw_rate = raw_flood();
    const double our_rate = endpoint_flood();
    printf("flood, raw two-recv loop: %.0f packets/s\n", raw_rate);
    printf("flood, endpoint dispatch: %.0f packets/s\n", our_rate);
    printf("ratio to raw: %.2fx (target: at least 0.8x)\n", our_rate / raw_rate);
    return 0;
}
