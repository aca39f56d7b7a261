// CNTPacket: one message between the game client and the game server.
//
// A fixed 4096-byte buffer with a cursor. The first four bytes are the header
// (16-bit message number, 16-bit total length); the fields follow in the
// order they were written, little-endian, without tags or padding. Payload
// bytes travel scrambled with a one-byte key, applied chunk by chunk as
// fields are written and read, so a message must be read with exactly the
// field widths it was written with.
#ifndef QUILLNTC_CNTPACKET_H
#define QUILLNTC_CNTPACKET_H

#include <string>

#include "NTCExport.h"
#include "quill/platform/types.h"

class CString;
class COLEDateTime;
class _variant_t;

class QUILLNTC_API CNTPacket {
public:
    enum { MAX_PACKET_SIZE = 4096, HEADER_SIZE = 4 };

    CNTPacket();
    explicit CNTPacket(char unused);
    // Copies the counters and the valid bytes only; the rest of the target's
    // buffer keeps what it held.
    CNTPacket(const CNTPacket& other);
    CNTPacket& operator=(const CNTPacket& other);
    ~CNTPacket();

    // Empties the packet: counters to 0 and the whole buffer zeroed.
    void InitPacket();
    // Zeroes the buffer; the counters stay.
    void InitBuf();

    char* GetBuf() { return m_Buf; }
    const char* GetBuf() const { return m_Buf; }
    unsigned short GetBufSize() const { return BufSize; }
    void SetBufSize(unsigned short size) { BufSize = size; }
    unsigned short GetBufPoint() const { return BufPoint; }
    void SetBufPoint(unsigned short point) { BufPoint = point; }
    bool IsBufEmpty() const { return BufPoint == 0; }

    // Appends a chunk at the cursor, scrambling it when it lies in the
    // payload, and stores the new length in the header. False (and nothing
    // written) when it would pass the end of the buffer.
    bool Write(const void* data, unsigned short size);
    // Takes up to size bytes at the cursor, descrambling them in place when
    // they lie in the payload. Returns the count delivered; a field past the
    // end of the packet is delivered in part or not at all.
    int Read(void* data, unsigned short size);
    // Moves the cursor over up to size bytes without reading them.
    int SkipRead(unsigned short size);

    // A text as a 16-bit byte count and the bytes, without terminator.
    void WriteString(const char* text);
    // Reads such a text into target; a count of 0 leaves target as it was.
    void ReadString(CString& target);

    // Applies the scramble transform to a caller's block.
    void Concrete(unsigned char* data, unsigned short size);

    CNTPacket& operator<<(char value);
    CNTPacket& operator<<(unsigned char value);
    CNTPacket& operator<<(bool value);
    CNTPacket& operator<<(short value);
    CNTPacket& operator<<(unsigned short value);
    CNTPacket& operator<<(int value);
    CNTPacket& operator<<(unsigned int value);
    // long travels in 4 bytes on every system.
    CNTPacket& operator<<(long value);
    CNTPacket& operator<<(unsigned long value);
    CNTPacket& operator<<(float value);
    CNTPacket& operator<<(double value);
    CNTPacket& operator<<(const SYSTEMTIME& value);

    CNTPacket& operator>>(char& value);
    CNTPacket& operator>>(unsigned char& value);
    CNTPacket& operator>>(bool& value);
    CNTPacket& operator>>(short& value);
    CNTPacket& operator>>(unsigned short& value);
    CNTPacket& operator>>(int& value);
    CNTPacket& operator>>(unsigned int& value);
    CNTPacket& operator>>(long& value);
    CNTPacket& operator>>(unsigned long& value);
    CNTPacket& operator>>(float& value);
    CNTPacket& operator>>(double& value);
    CNTPacket& operator>>(SYSTEMTIME& value);

private:
    void ReWindBuf();
    unsigned short MessageNumber() const;
    // The valid length, never beyond the buffer even if a caller set more.
    int Limit() const;

    char m_Buf[MAX_PACKET_SIZE];
    unsigned short BufSize;
    unsigned short BufPoint;
};

QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const char* text);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const CString& text);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, CString& text);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const std::string& text);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, std::string& text);
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const COLEDateTime& date);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, COLEDateTime& date);
// A variant as its type tag and value; types without a wire form travel as
// the tag alone and arrive as an empty variant.
QUILLNTC_API CNTPacket& operator<<(CNTPacket& packet, const _variant_t& value);
QUILLNTC_API CNTPacket& operator>>(CNTPacket& packet, _variant_t& value);

#endif
