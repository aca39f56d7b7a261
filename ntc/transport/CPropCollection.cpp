#include "transport/CPropCollection.h"

#include <string.h>

#include "transport/CNTPacket.h"
#include "transport/Trace.h"

namespace {

unsigned char fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Reads count entries; a name of length 0 on the wire keeps the name read
// before it, since the same string is read into for every entry. Stops when
// the packet has nothing more to give, whatever the count promised.
void read_entries(CNTPacket& packet, long count, CPropCollection::PropertyMap& into) {
    CString name;
    for (long i = 0; i < count; ++i) {
        const unsigned short before = packet.GetBufPoint();
        _variant_t value;
        packet >> name >> value;
        // Nothing left to read: the rest of the count has no entries.
        if (packet.GetBufPoint() == before)
            break;
        // The first of two names equal without case wins.
        into.insert(CPropCollection::PropertyMap::value_type(name, value));
    }
}

} // namespace

bool CPropCollection::NoCaseLess::operator()(const CString& left, const CString& right) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(static_cast<const char*>(left));
    const unsigned char* b =
        reinterpret_cast<const unsigned char*>(static_cast<const char*>(right));
    while (*a && fold(*a) == fold(*b)) {
        ++a;
        ++b;
    }
    return fold(*a) < fold(*b);
}

CPropCollection::CPropCollection() {}
CPropCollection::CPropCollection(const CPropCollection& other) : m_Properties(other.m_Properties) {}
CPropCollection& CPropCollection::operator=(const CPropCollection& other) {
    m_Properties = other.m_Properties;
    return *this;
}
CPropCollection::~CPropCollection() {}

CPropCollection::CPropCollection(const _variant_t&) {}

CPropCollection& CPropCollection::operator=(const _variant_t& value) {
    CopyFrom(value);
    return *this;
}

void CPropCollection::CopyFrom(const _variant_t&) {
    m_Properties.clear();
}

CPropCollection::operator _variant_t() const {
    return _variant_t();
}

_variant_t CPropCollection::GetProperty(const char* name) const {
    if (!name)
        return _variant_t();
    const PropertyMap::const_iterator found = m_Properties.find(CString(name));
    return found == m_Properties.end() ? _variant_t() : found->second;
}

void CPropCollection::SetProperty(const char* name, const _variant_t& value) {
    if (!name)
        return;
    const CString key(name);
    const PropertyMap::iterator found = m_Properties.find(key);
    if (found != m_Properties.end())
        found->second = value; // the stored name keeps its first spelling
    else
        m_Properties.insert(PropertyMap::value_type(key, value));
}

void CPropCollection::EraseProperty(const char* name) {
    if (name)
        m_Properties.erase(CString(name));
}

CPropCollection::operator std::vector<unsigned char>() const {
    CNTPacket packet;
    packet << *this;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(packet.GetBuf());
    return std::vector<unsigned char>(bytes, bytes + packet.GetBufSize());
}

void CPropCollection::CopyFrom(const std::vector<unsigned char>& image) {
    m_Properties.clear();
    if (image.empty())
        return;
    if (image.size() > CNTPacket::MAX_PACKET_SIZE) {
        TRACE("CPropCollection::CopyFrom() image of %d bytes is larger than a packet\n",
              static_cast<int>(image.size()));
        return;
    }
    CNTPacket packet;
    memcpy(packet.GetBuf(), image.data(), image.size());
    packet.SetBufSize(static_cast<unsigned short>(image.size()));
    packet.SetBufPoint(0);

    // The image's bytes 2-3 hold its length, not the upper half of the
    // count: only the low 16 bits are the count.
    int raw = 0;
    packet >> raw;
    const unsigned short count = static_cast<unsigned short>(raw & 0xFFFF);

    // The low count also stood where a message number stands, and chose
    // whether the entries were written scrambled. Make the read take the same
    // choice: plain for the counts that are sent plain, scrambled otherwise.
    const bool written_plain = count == 747 || count == 486;
    const unsigned short as_message = written_plain ? 508 : 0;
    packet.GetBuf()[0] = static_cast<char>(as_message & 0xFF);
    packet.GetBuf()[1] = static_cast<char>(as_message >> 8);
    read_entries(packet, count, m_Properties);
}

CPropCollection& CPropCollection::operator=(const std::vector<unsigned char>& image) {
    CopyFrom(image);
    return *this;
}

CNTPacket& operator<<(CNTPacket& packet, const CPropCollection& collection) {
    packet << static_cast<int>(collection.m_Properties.size());
    for (const auto& entry : collection.m_Properties)
        packet << static_cast<const char*>(entry.first) << entry.second;
    return packet;
}

CNTPacket& operator>>(CNTPacket& packet, CPropCollection& collection) {
    int count = 0;
    packet >> count;
    collection.m_Properties.clear();
    read_entries(packet, count, collection.m_Properties);
    return packet;
}
