// Dispatching a realistic mix of server messages (moves, chat, object lists,
// a monster list, private data) through CNTMainClient to a stub, against
// decoding the same fields straight from the same bytes into plain structs.
// Both sides hand every decoded value to the optimiser barrier; the
// dispatcher also copies each packet first, as it reads it in place.
#include <benchmark/benchmark.h>

#include <stdint.h>
#include <string.h>

#include <vector>

#include "objects/GameObjects.h"
#include "protocol/CNTMainClient.h"
#include "support/forwarding_stub.h"
#include "transport/CNTPacket.h"

namespace {

typedef unsigned short u16;

CNTPacket started(u16 number) {
    CNTPacket packet;
    packet << number << static_cast<u16>(0);
    return packet;
}

void movement(CNTPacket& p, int i) {
    p << 10.0f + i << 20.0f - i << 90.0f << 3.5f;
}

void world_item(CNTPacket& p, int i) {
    p << static_cast<unsigned long>(3000 + i) << static_cast<short>(7);
    movement(p, i);
    p << static_cast<unsigned long>(9000 + i) << static_cast<unsigned long>(1)
      << static_cast<short>(0);
}

void monster(CNTPacket& p, int i) {
    p << static_cast<unsigned long>(5000 + i) << static_cast<short>(7) << static_cast<short>(40);
    movement(p, i);
    p << static_cast<short>(2) << 120.0f;
}

// One server second of a busy zone: twelve moves, four chat lines, an
// object list, a monster list and the own avatar's statistics.
std::vector<CNTPacket> message_mix() {
    std::vector<CNTPacket> mix;
    const char* const chat[] = {"hi", "anyone for the north gate?", "lol",
                                "selling two potions, cheap, whisper me"};
    for (int i = 0; i < 12; ++i) {
        CNTPacket move = started(12003);
        move << static_cast<short>(100 + i);
        movement(move, i);
        move << static_cast<short>(1) << static_cast<unsigned long>(123456 + i);
        mix.push_back(move);
        if (i % 3 == 0) {
            CNTPacket line = started(12002);
            line << static_cast<short>(100 + i) << chat[i / 3];
            mix.push_back(line);
        }
    }
    CNTPacket objects = started(14003);
    objects << static_cast<u16>(3);
    for (int i = 0; i < 3; ++i)
        world_item(objects, i);
    objects << static_cast<u16>(5);
    for (int i = 0; i < 5; ++i)
        monster(objects, i);
    objects << static_cast<u16>(2);
    mix.push_back(objects);
    CNTPacket monsters = started(14005);
    monsters << static_cast<u16>(4);
    for (int i = 0; i < 4; ++i)
        monster(monsters, i);
    mix.push_back(monsters);
    CNTPacket priv = started(13002);
    priv << static_cast<short>(3);
    for (int i = 0; i < 6; ++i)
        priv << 10.0f + i;
    priv << static_cast<short>(1) << static_cast<short>(2) << static_cast<short>(3);
    priv << 500.0f << 200.0f << 100.0f << static_cast<short>(30) << 45000 << 99999;
    priv << static_cast<short>(3005) << static_cast<short>(2) << 46000.5;
    for (int i = 0; i < 4; ++i)
        priv << static_cast<short>(100 * (i + 1));
    mix.push_back(priv);
    // As the transport hands them over: cursor at the start.
    for (CNTPacket& packet : mix)
        packet.SetBufPoint(0);
    return mix;
}

struct BarrierSink {
    size_t calls = 0;
    template <typename... Args> void operator()(const char*, Args&... args) {
        ++calls;
        (benchmark::DoNotOptimize(args), ...);
    }
};

class BenchClient : public CNTMainClient {
public:
    void ProcessConnectionLost() override {}
};

void dispatch_mix(benchmark::State& state) {
    const std::vector<CNTPacket> mix = message_mix();
    BenchClient client;
    quill_test::ForwardingStub<BarrierSink> stub;
    client.Attach(&stub);
    CNTPacket packet;
    for (auto _ : state)
        for (const CNTPacket& message : mix) {
            packet = message;
            client.ProcessPacketFromServer(packet);
        }
    if (stub.sink.calls != state.iterations() * mix.size())
        state.SkipWithError("a message did not reach its callback");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * mix.size()));
    state.SetLabel("items = messages");
}
BENCHMARK(dispatch_mix)->Name("dispatch/server message mix");

template <size_t N> struct Word;
template <> struct Word<2> { typedef uint16_t type; };
template <> struct Word<4> { typedef uint32_t type; };
template <> struct Word<8> { typedef uint64_t type; };

// The reference: the same fields read from the bytes with plain loads and
// the descrambling of each field (little-endian), into plain structs.
class RawReader {
public:
    explicit RawReader(const CNTPacket& packet)
        : at_(reinterpret_cast<const uint8_t*>(packet.GetBuf()) + 4),
          end_(reinterpret_cast<const uint8_t*>(packet.GetBuf()) + packet.GetBufSize()) {}

    // A whole field is loaded as one word and descrambled in a register.
    template <typename T> T get() {
        T value{};
        if (at_ + sizeof value > end_) {
            take(&value, sizeof value);
            return value;
        }
        typedef typename Word<sizeof(T)>::type W;
        W word;
        memcpy(&word, at_, sizeof word);
        word ^= static_cast<W>(sizeof word == 8 ? 0x0000006B0000006Bull : 0x6B);
        memcpy(&value, &word, sizeof value);
        at_ += sizeof value;
        return value;
    }
    void text(char* out, size_t capacity) {
        const size_t count = get<uint16_t>();
        const size_t kept = count < capacity ? count : capacity;
        take(out, kept);
        out[kept] = '\0';
        at_ += count - kept;
    }

private:
    void take(void* out, size_t size) {
        const size_t left = at_ < end_ ? static_cast<size_t>(end_ - at_) : 0;
        const size_t n = size < left ? size : left;
        uint8_t* bytes = static_cast<uint8_t*>(out);
        memcpy(bytes, at_, n);
        for (size_t i = 0; i < n; i += 4)
            bytes[i] ^= 0x6B;
        at_ += size;
    }

    const uint8_t* at_;
    const uint8_t* end_;
};

struct RawMove {
    float x, z, yaw, speed;
};
struct RawWorldItem {
    uint32_t id;
    int16_t zone;
    RawMove move;
    uint32_t item, exp;
    int16_t option;
};
struct RawMonster {
    uint32_t id;
    int16_t zone, kind;
    RawMove move;
    int16_t ani;
    float hp;
};
struct RawNpc {};
struct RawPriv {
    int16_t points;
    float attributes[6];
    int16_t divisions[3];
    float hp, mp, sp;
    int16_t level;
    int32_t exp, gold;
    int16_t weapon, bags;
    double deletion;
    int16_t skills[4];
};

RawMove raw_move(RawReader& r) {
    RawMove m;
    m.x = r.get<float>();
    m.z = r.get<float>();
    m.yaw = r.get<float>();
    m.speed = r.get<float>();
    return m;
}

RawMonster raw_monster(RawReader& r) {
    RawMonster m;
    m.id = r.get<uint32_t>();
    m.zone = r.get<int16_t>();
    m.kind = r.get<int16_t>();
    m.move = raw_move(r);
    m.ani = r.get<int16_t>();
    m.hp = r.get<float>();
    return m;
}

template <typename T, typename Read>
void raw_list(RawReader& r, std::vector<T>& list, size_t room, Read read) {
    list.reserve(room);
    list.resize(r.get<uint16_t>());
    for (T& element : list)
        element = read(r);
}

void raw_decode(const CNTPacket& packet) {
    const uint8_t* header = reinterpret_cast<const uint8_t*>(packet.GetBuf());
    RawReader r(packet);
    switch (header[0] | header[1] << 8) {
    case 12003: {
        int16_t avatar = r.get<int16_t>();
        RawMove move = raw_move(r);
        int16_t ani = r.get<int16_t>();
        uint32_t time = r.get<uint32_t>();
        benchmark::DoNotOptimize(avatar), benchmark::DoNotOptimize(move);
        benchmark::DoNotOptimize(ani), benchmark::DoNotOptimize(time);
        break;
    }
    case 12002: {
        int16_t speaker = r.get<int16_t>();
        char text[201];
        r.text(text, 200);
        benchmark::DoNotOptimize(speaker), benchmark::DoNotOptimize(text);
        break;
    }
    case 14003: {
        std::vector<RawWorldItem> items;
        std::vector<RawMonster> monsters;
        std::vector<RawNpc> npcs;
        raw_list(r, items, 100, [](RawReader& in) {
            RawWorldItem w;
            w.id = in.get<uint32_t>();
            w.zone = in.get<int16_t>();
            w.move = raw_move(in);
            w.item = in.get<uint32_t>();
            w.exp = in.get<uint32_t>();
            w.option = in.get<int16_t>();
            return w;
        });
        raw_list(r, monsters, 100, raw_monster);
        raw_list(r, npcs, 100, [](RawReader&) { return RawNpc(); });
        benchmark::DoNotOptimize(items), benchmark::DoNotOptimize(monsters);
        benchmark::DoNotOptimize(npcs);
        break;
    }
    case 14005: {
        std::vector<RawMonster> monsters;
        raw_list(r, monsters, 0, raw_monster);
        benchmark::DoNotOptimize(monsters);
        break;
    }
    case 13002: {
        RawPriv p;
        p.points = r.get<int16_t>();
        for (float& a : p.attributes)
            a = r.get<float>();
        for (int16_t& d : p.divisions)
            d = r.get<int16_t>();
        p.hp = r.get<float>();
        p.mp = r.get<float>();
        p.sp = r.get<float>();
        p.level = r.get<int16_t>();
        p.exp = r.get<int32_t>();
        p.gold = r.get<int32_t>();
        p.weapon = r.get<int16_t>();
        p.bags = r.get<int16_t>();
        p.deletion = r.get<double>();
        for (int16_t& s : p.skills)
            s = r.get<int16_t>();
        benchmark::DoNotOptimize(p);
        break;
    }
    }
}

void reference_raw_decode(benchmark::State& state) {
    const std::vector<CNTPacket> mix = message_mix();
    for (auto _ : state)
        for (const CNTPacket& message : mix)
            raw_decode(message);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * mix.size()));
    state.SetLabel("items = messages");
}
BENCHMARK(reference_raw_decode)->Name("reference/raw decoding of the same fields");

} // namespace
