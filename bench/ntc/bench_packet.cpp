// A realistic message built and read back: header, 20 numeric fields of mixed
// widths and 5 texts, against copying the same number of bytes in and out
// with memcpy.
#include <benchmark/benchmark.h>

#include <string.h>

#include <string>

#include "transport/CNTPacket.h"

namespace {

const char* const kTexts[5] = {"PlayerOne", "안녕하세요 여러분", "guild-of-the-north", "x",
                               "a somewhat longer chat line that a player might type"};

void build(CNTPacket& packet, int round) {
    packet.InitPacket();
    packet << static_cast<unsigned short>(2005) << static_cast<unsigned short>(0);
    for (int i = 0; i < 5; ++i) {
        packet << round + i << static_cast<short>(i) << 1.5f * i << 0.25 * i;
        packet << kTexts[i];
    }
}

void read_back(CNTPacket& packet, benchmark::State& state) {
    packet.SetBufPoint(0);
    unsigned short message, length;
    packet >> message >> length;
    int a;
    short b;
    float c;
    double d;
    std::string text;
    for (int i = 0; i < 5; ++i) {
        packet >> a >> b >> c >> d >> text;
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(text.data());
    }
    if (packet.GetBufPoint() != packet.GetBufSize())
        state.SkipWithError("message not read to its end");
}

void packet_write_and_read(benchmark::State& state) {
    CNTPacket packet;
    int round = 0;
    for (auto _ : state) {
        build(packet, ++round);
        read_back(packet, state);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * packet.GetBufSize());
}
BENCHMARK(packet_write_and_read)->Name("CNTPacket write+read message");

void reference_memcpy(benchmark::State& state) {
    CNTPacket sample;
    build(sample, 1);
    const size_t size = sample.GetBufSize();
    char wire[4096];
    char out[4096];
    for (auto _ : state) {
        memcpy(wire, sample.GetBuf(), size);
        benchmark::ClobberMemory();
        memcpy(out, wire, size);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}
BENCHMARK(reference_memcpy)->Name("reference/memcpy same bytes in and out");

} // namespace
