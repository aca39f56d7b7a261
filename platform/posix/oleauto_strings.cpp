// BSTRs with the Windows memory layout: a 32-bit byte count in front of the
// characters, and two zero bytes after them.
#include "oleauto_parts.h"

#include <stdlib.h>
#include <string.h>

namespace {

const size_t kPrefix = sizeof(uint32_t);

BSTR alloc_bytes(const void* bytes, size_t length) {
    // The byte count must fit its 32-bit prefix, with room for the prefix
    // and the terminating zero character.
    if (length > 0xFFFFFFFFu - kPrefix - sizeof(OLECHAR))
        return nullptr;
    unsigned char* block = static_cast<unsigned char*>(malloc(kPrefix + length + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    const uint32_t prefix = static_cast<uint32_t>(length);
    memcpy(block, &prefix, kPrefix);
    if (bytes)
        memcpy(block + kPrefix, bytes, length);
    else
        memset(block + kPrefix, 0, length);
    // Two zero bytes end the text even when the byte count is odd.
    memset(block + kPrefix + length, 0, sizeof(OLECHAR));
    return reinterpret_cast<BSTR>(block + kPrefix);
}

unsigned char* block_of(BSTR text) {
    return reinterpret_cast<unsigned char*>(text) - kPrefix;
}

uint32_t byte_length(BSTR text) {
    if (!text)
        return 0;
    uint32_t length;
    memcpy(&length, block_of(text), kPrefix);
    return length;
}

} // namespace

namespace qp_oleauto {

BSTR copy_bstr(BSTR text) {
    return alloc_bytes(text, byte_length(text));
}

BSTR narrow_to_bstr(const std::string& text) {
    // Our own texts are ASCII: numbers, dates and the boolean words.
    BSTR result = SysAllocStringLen(nullptr, static_cast<unsigned int>(text.size()));
    if (result)
        for (size_t i = 0; i < text.size(); ++i)
            result[i] = static_cast<unsigned char>(text[i]);
    return result;
}

} // namespace qp_oleauto

using qp_oleauto::copy_bstr;

BSTR SysAllocString(const OLECHAR* text) {
    if (!text)
        return nullptr;
    size_t length = 0;
    while (text[length])
        ++length;
    return alloc_bytes(text, length * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(const OLECHAR* text, unsigned int length) {
    if (length > (0xFFFFFFFFu - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    return alloc_bytes(text, static_cast<size_t>(length) * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(const char* bytes, unsigned int length) {
    return alloc_bytes(bytes, length);
}

void SysFreeString(BSTR text) {
    if (text)
        free(block_of(text));
}

unsigned int SysStringLen(BSTR text) {
    return byte_length(text) / sizeof(OLECHAR);
}

unsigned int SysStringByteLen(BSTR text) {
    return byte_length(text);
}
