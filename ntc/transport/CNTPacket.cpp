#include "transport/CNTPacket.h"

#include <string.h>

#include <algorithm>

#include "transport/COLEDateTime.h"
#include "transport/CString.h"
#include "transport/Trace.h"

namespace {

// The one-byte key that client and server share for payload bytes.
const unsigned char kScrambleKey = 0x6B;

// Message numbers whose payload travels in the clear, by direction.
bool sent_plain(unsigned short message) {
    return message == 747 || message == 486;
}
bool received_plain(unsigned short message) {
    return message == 508;
}

// Every fourth byte of a chunk, starting with its first.
void scramble(unsigned char* data, int size) {
    for (int i = 0; i < size; i += 4)
        data[i] ^= kScrambleKey;
}

// The key at the bytes of a W that the transform changes (its offsets 0
// and 4 in memory), for descrambling a whole field in one register.
template <typename W> W key_mask() {
    unsigned char bytes[sizeof(W)] = {};
    for (size_t i = 0; i < sizeof(W); i += 4)
        bytes[i] = kScrambleKey;
    W mask;
    memcpy(&mask, bytes, sizeof mask);
    return mask;
}

// Takes a field of one of the usual widths: loaded, descrambled and stored
// back as one word. Descrambling it byte by byte in the buffer and then
// loading the word would stall the load behind the byte stores.
template <typename W> void take_word(unsigned char* at, void* data, bool descramble) {
    W word;
    memcpy(&word, at, sizeof word);
    if (descramble) {
        word ^= key_mask<W>();
        memcpy(at, &word, sizeof word);
    }
    memcpy(data, &word, sizeof word);
}

// Fixed-width wire integers: long is 4 bytes on the wire whatever its width
// in memory.
template <typename Wire, typename Value> CNTPacket& put(CNTPacket& packet, Value value) {
    const Wire wire = static_cast<Wire>(value);
    packet.Write(&wire, sizeof wire);
    return packet;
}

template <typename Wire, typename Value> CNTPacket& get(CNTPacket& packet, Value& value) {
    // A field past the end keeps what it held: start from the old value.
    Wire wire = static_cast<Wire>(value);
    packet.Read(&wire, sizeof wire);
    value = static_cast<Value>(wire);
    return packet;
}

// A SYSTEMTIME on the wire: its eight parts as 16-bit numbers, in this
// order.
const int kTimeParts = 8;
WORD SYSTEMTIME::*const kTimePart[kTimeParts] = {
    &SYSTEMTIME::wYear, &SYSTEMTIME::wMonth,  &SYSTEMTIME::wDayOfWeek, &SYSTEMTIME::wDay,
    &SYSTEMTIME::wHour, &SYSTEMTIME::wMinute, &SYSTEMTIME::wSecond,    &SYSTEMTIME::wMilliseconds};

// What a peer's byte count may claim at most: the bytes the packet still
// holds after its cursor.
unsigned short capped_count(const CNTPacket& packet, unsigned short count) {
    const int limit = std::min<int>(packet.GetBufSize(), CNTPacket::MAX_PACKET_SIZE);
    const int left = std::max(limit - packet.GetBufPoint(), 0);
    return count > left ? static_cast<unsigned short>(left) : count;
}

} // namespace

// Inline: every field read asks for both, and an exported function of a
// shared library is called, never inlined, unless it says so.
inline unsigned short CNTPacket::MessageNumber() const {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(m_Buf);
    return static_cast<unsigned short>(bytes[0] | (bytes[1] << 8));
}

inline int CNTPacket::Limit() const {
    return std::min<int>(BufSize, MAX_PACKET_SIZE);
}

CNTPacket::CNTPacket() {
    InitPacket();
}

CNTPacket::CNTPacket(char) {
    InitPacket();
}

CNTPacket::CNTPacket(const CNTPacket& other) : BufSize(0), BufPoint(0) {
    *this = other;
}

CNTPacket& CNTPacket::operator=(const CNTPacket& other) {
    if (this != &other) {
        BufSize = other.BufSize;
        BufPoint = other.BufPoint;
        memcpy(m_Buf, other.m_Buf, static_cast<size_t>(other.Limit()));
    }
    return *this;
}

CNTPacket::~CNTPacket() {}

void CNTPacket::InitPacket() {
    ReWindBuf();
    InitBuf();
}

void CNTPacket::ReWindBuf() {
    BufSize = 0;
    BufPoint = 0;
}

void CNTPacket::InitBuf() {
    memset(m_Buf, 0, sizeof m_Buf);
}

bool CNTPacket::Write(const void* data, unsigned short size) {
    if (!data && size != 0)
        return false;
    if (BufPoint + size > MAX_PACKET_SIZE) {
        TRACE("버퍼 크기를 넘어서 더 이상 쓸 수가 없다\n");
        return false;
    }
    unsigned char* at = reinterpret_cast<unsigned char*>(m_Buf) + BufPoint;
    if (size > 0)
        memcpy(at, data, size);
    if (BufPoint >= HEADER_SIZE && !sent_plain(MessageNumber()))
        scramble(at, size);
    // The length grows by the chunk, as the peer expects, but never past the
    // buffer: a length beyond it would let later reads leave the buffer.
    BufSize =
        static_cast<unsigned short>(std::min(BufSize + size, static_cast<int>(MAX_PACKET_SIZE)));
    BufPoint = static_cast<unsigned short>(BufPoint + size);
    m_Buf[2] = static_cast<char>(BufSize & 0xFF);
    m_Buf[3] = static_cast<char>(BufSize >> 8);
    return true;
}

int CNTPacket::Read(void* data, unsigned short size) {
    const int available = std::min(Limit(), BufPoint + size) - BufPoint;
    if (available <= 0) {
        TRACE("경고!!! 패킷 읽기중 EOF발생. BufSize : %d  BufPoint : %d  wSize : %d\n", BufSize,
              BufPoint, size);
        return 0;
    }
    unsigned char* at = reinterpret_cast<unsigned char*>(m_Buf) + BufPoint;
    const bool descramble = BufPoint >= HEADER_SIZE && !received_plain(MessageNumber());
    // The usual widths, one row each, as a switch: a chain of comparisons
    // costs the dispatch of a server message about a tenth of its time.
    // clang-format off
    switch (available) {
    case 1: take_word<uint8_t>(at, data, descramble); break;
    case 2: take_word<uint16_t>(at, data, descramble); break;
    case 4: take_word<uint32_t>(at, data, descramble); break;
    case 8: take_word<uint64_t>(at, data, descramble); break;
    default:
        if (descramble)
            scramble(at, available);
        memcpy(data, at, static_cast<size_t>(available));
        break;
    }
    // clang-format on
    BufPoint = static_cast<unsigned short>(BufPoint + available);
    return available;
}

int CNTPacket::SkipRead(unsigned short size) {
    const int skipped = std::min(Limit(), BufPoint + size) - BufPoint;
    if (skipped <= 0)
        return 0;
    BufPoint = static_cast<unsigned short>(BufPoint + skipped);
    return skipped;
}

void CNTPacket::WriteString(const char* text) {
    const size_t length = text ? strlen(text) : 0;
    // The count and the text go together or not at all: a count without its
    // text would shift every later field for the reader.
    if (BufPoint + sizeof(uint16_t) + length > MAX_PACKET_SIZE) {
        TRACE("버퍼 크기를 넘어서 더 이상 쓸 수가 없다\n");
        return;
    }
    *this << static_cast<unsigned short>(length);
    if (length != 0)
        Write(text, static_cast<unsigned short>(length));
}

void CNTPacket::ReadString(CString& target) {
    unsigned short length = 0;
    *this >> length;
    if (length == 0)
        return;
    // The count comes from the peer: room for more than the packet still
    // holds would never be filled.
    length = capped_count(*this, length);
    char* buffer = target.GetBuffer(length);
    if (!buffer)
        return;
    // A text cut short by the end of the packet keeps what arrived, never
    // the bytes the buffer held before.
    const int count = Read(buffer, length);
    target.ReleaseBuffer(count > 0 ? count : 0);
}

void CNTPacket::Concrete(unsigned char* data, unsigned short size) {
    if (data)
        scramble(data, size);
}

// Every number type of the packet and the fixed width it travels in; each
// pair gives both directions. bool has its own pair below.
// clang-format off
#define QUILL_NTC_PACKET_NUMBERS(X) \
    X(char, char) X(unsigned char, unsigned char) \
    X(short, int16_t) X(unsigned short, uint16_t) \
    X(int, int32_t) X(unsigned int, uint32_t) \
    X(long, int32_t) X(unsigned long, uint32_t) \
    X(float, float) X(double, double)
// clang-format on

#define QUILL_NTC_PACKET_NUMBER(TYPE, WIRE)                                                        \
    CNTPacket& CNTPacket::operator<<(TYPE value) {                                                 \
        return put<WIRE>(*this, value);                                                            \
    }                                                                                              \
    CNTPacket& CNTPacket::operator>>(TYPE& value) {                                                \
        return get<WIRE>(*this, value);                                                            \
    }
QUILL_NTC_PACKET_NUMBERS(QUILL_NTC_PACKET_NUMBER)
#undef QUILL_NTC_PACKET_NUMBER
#undef QUILL_NTC_PACKET_NUMBERS

CNTPacket& CNTPacket::operator<<(bool value) {
    return put<unsigned char>(*this, value ? 1 : 0);
}

CNTPacket& CNTPacket::operator>>(bool& value) {
    // Past the end the target is not touched at all: it may never have held
    // a value, and a bool that holds no value must not even be looked at.
    unsigned char byte = 0;
    if (Read(&byte, 1) == 1)
        value = byte != 0;
    return *this;
}

CNTPacket& CNTPacket::operator<<(const SYSTEMTIME& value) {
    uint16_t parts[kTimeParts];
    for (int i = 0; i < kTimeParts; ++i)
        parts[i] = value.*kTimePart[i];
    Write(parts, sizeof parts);
    return *this;
}

CNTPacket& CNTPacket::operator>>(SYSTEMTIME& value) {
    // A time cut short by the end of the packet keeps its remaining parts.
    uint16_t parts[kTimeParts];
    for (int i = 0; i < kTimeParts; ++i)
        parts[i] = value.*kTimePart[i];
    Read(parts, sizeof parts);
    for (int i = 0; i < kTimeParts; ++i)
        value.*kTimePart[i] = parts[i];
    return *this;
}

CNTPacket& operator<<(CNTPacket& packet, const char* text) {
    packet.WriteString(text);
    return packet;
}

CNTPacket& operator<<(CNTPacket& packet, const CString& text) {
    packet.WriteString(text);
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, CString& text) {
    packet.ReadString(text);
    return packet;
}

CNTPacket& operator<<(CNTPacket& packet, const std::string& text) {
    // The text up to its first zero byte, as a C string would carry it.
    packet.WriteString(text.c_str());
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, std::string& text) {
    unsigned short length = 0;
    packet >> length;
    // The count comes from the peer: capped before any room is made for it.
    length = capped_count(packet, length);
    // Read straight into the target, reusing its storage; the text ends at
    // its first zero byte, as a C string would.
    text.resize(length);
    const int count = length ? packet.Read(&text[0], length) : 0;
    text.resize(strnlen(text.data(), static_cast<size_t>(count > 0 ? count : 0)));
    return packet;
}

CNTPacket& operator<<(CNTPacket& packet, const COLEDateTime& date) {
    return packet << static_cast<double>(date);
}

CNTPacket& operator>>(CNTPacket& packet, COLEDateTime& date) {
    // Taken as it comes: the status is not on the wire and no range test is
    // made; a value out of range is still never turned into parts.
    double value = date.m_dt;
    packet >> value;
    date.m_dt = value;
    date.m_status = COLEDateTime::valid;
    return packet;
}
