#include "common/md5_C.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"

namespace {

inline uint32_t rotate_left(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t load_le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void store_le32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

#define MD5_STEP(f, a, b, c, d, x, s, t)                                                           \
    a += f(b, c, d) + (x) + (t);                                                                   \
    a = rotate_left(a, s) + b

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

// The seven test messages of RFC 1321 with their digests.
const struct {
    const char* message;
    const char* digest;
} rfc_suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

// Large reads keep the per-call cost of the stream and of update() small
// next to the digest itself; a multiple of the 64-byte block never leaves
// bytes pending between reads.
const size_t file_read_size = 65536;

} // namespace

void md5_C::init() {
    state_[0] = 0x67452301u;
    state_[1] = 0xefcdab89u;
    state_[2] = 0x98badcfeu;
    state_[3] = 0x10325476u;
    length_ = 0;
}

void md5_C::transform(const unsigned char block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = load_le32(block + 4 * i);
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];

    MD5_STEP(MD5_F, a, b, c, d, x[0], 7, 0xd76aa478u);
    MD5_STEP(MD5_F, d, a, b, c, x[1], 12, 0xe8c7b756u);
    MD5_STEP(MD5_F, c, d, a, b, x[2], 17, 0x242070dbu);
    MD5_STEP(MD5_F, b, c, d, a, x[3], 22, 0xc1bdceeeu);
    MD5_STEP(MD5_F, a, b, c, d, x[4], 7, 0xf57c0fafu);
    MD5_STEP(MD5_F, d, a, b, c, x[5], 12, 0x4787c62au);
    MD5_STEP(MD5_F, c, d, a, b, x[6], 17, 0xa8304613u);
    MD5_STEP(MD5_F, b, c, d, a, x[7], 22, 0xfd469501u);
    MD5_STEP(MD5_F, a, b, c, d, x[8], 7, 0x698098d8u);
    MD5_STEP(MD5_F, d, a, b, c, x[9], 12, 0x8b44f7afu);
    MD5_STEP(MD5_F, c, d, a, b, x[10], 17, 0xffff5bb1u);
    MD5_STEP(MD5_F, b, c, d, a, x[11], 22, 0x895cd7beu);
    MD5_STEP(MD5_F, a, b, c, d, x[12], 7, 0x6b901122u);
    MD5_STEP(MD5_F, d, a, b, c, x[13], 12, 0xfd987193u);
    MD5_STEP(MD5_F, c, d, a, b, x[14], 17, 0xa679438eu);
    MD5_STEP(MD5_F, b, c, d, a, x[15], 22, 0x49b40821u);

    MD5_STEP(MD5_G, a, b, c, d, x[1], 5, 0xf61e2562u);
    MD5_STEP(MD5_G, d, a, b, c, x[6], 9, 0xc040b340u);
    MD5_STEP(MD5_G, c, d, a, b, x[11], 14, 0x265e5a51u);
    MD5_STEP(MD5_G, b, c, d, a, x[0], 20, 0xe9b6c7aau);
    MD5_STEP(MD5_G, a, b, c, d, x[5], 5, 0xd62f105du);
    MD5_STEP(MD5_G, d, a, b, c, x[10], 9, 0x02441453u);
    MD5_STEP(MD5_G, c, d, a, b, x[15], 14, 0xd8a1e681u);
    MD5_STEP(MD5_G, b, c, d, a, x[4], 20, 0xe7d3fbc8u);
    MD5_STEP(MD5_G, a, b, c, d, x[9], 5, 0x21e1cde6u);
    MD5_STEP(MD5_G, d, a, b, c, x[14], 9, 0xc33707d6u);
    MD5_STEP(MD5_G, c, d, a, b, x[3], 14, 0xf4d50d87u);
    MD5_STEP(MD5_G, b, c, d, a, x[8], 20, 0x455a14edu);
    MD5_STEP(MD5_G, a, b, c, d, x[13], 5, 0xa9e3e905u);
    MD5_STEP(MD5_G, d, a, b, c, x[2], 9, 0xfcefa3f8u);
    MD5_STEP(MD5_G, c, d, a, b, x[7], 14, 0x676f02d9u);
    MD5_STEP(MD5_G, b, c, d, a, x[12], 20, 0x8d2a4c8au);

    MD5_STEP(MD5_H, a, b, c, d, x[5], 4, 0xfffa3942u);
    MD5_STEP(MD5_H, d, a, b, c, x[8], 11, 0x8771f681u);
    MD5_STEP(MD5_H, c, d, a, b, x[11], 16, 0x6d9d6122u);
    MD5_STEP(MD5_H, b, c, d, a, x[14], 23, 0xfde5380cu);
    MD5_STEP(MD5_H, a, b, c, d, x[1], 4, 0xa4beea44u);
    MD5_STEP(MD5_H, d, a, b, c, x[4], 11, 0x4bdecfa9u);
    MD5_STEP(MD5_H, c, d, a, b, x[7], 16, 0xf6bb4b60u);
    MD5_STEP(MD5_H, b, c, d, a, x[10], 23, 0xbebfbc70u);
    MD5_STEP(MD5_H, a, b, c, d, x[13], 4, 0x289b7ec6u);
    MD5_STEP(MD5_H, d, a, b, c, x[0], 11, 0xeaa127fau);
    MD5_STEP(MD5_H, c, d, a, b, x[3], 16, 0xd4ef3085u);
    MD5_STEP(MD5_H, b, c, d, a, x[6], 23, 0x04881d05u);
    MD5_STEP(MD5_H, a, b, c, d, x[9], 4, 0xd9d4d039u);
    MD5_STEP(MD5_H, d, a, b, c, x[12], 11, 0xe6db99e5u);
    MD5_STEP(MD5_H, c, d, a, b, x[15], 16, 0x1fa27cf8u);
    MD5_STEP(MD5_H, b, c, d, a, x[2], 23, 0xc4ac5665u);

    MD5_STEP(MD5_I, a, b, c, d, x[0], 6, 0xf4292244u);
    MD5_STEP(MD5_I, d, a, b, c, x[7], 10, 0x432aff97u);
    MD5_STEP(MD5_I, c, d, a, b, x[14], 15, 0xab9423a7u);
    MD5_STEP(MD5_I, b, c, d, a, x[5], 21, 0xfc93a039u);
    MD5_STEP(MD5_I, a, b, c, d, x[12], 6, 0x655b59c3u);
    MD5_STEP(MD5_I, d, a, b, c, x[3], 10, 0x8f0ccc92u);
    MD5_STEP(MD5_I, c, d, a, b, x[10], 15, 0xffeff47du);
    MD5_STEP(MD5_I, b, c, d, a, x[1], 21, 0x85845dd1u);
    MD5_STEP(MD5_I, a, b, c, d, x[8], 6, 0x6fa87e4fu);
    MD5_STEP(MD5_I, d, a, b, c, x[15], 10, 0xfe2ce6e0u);
    MD5_STEP(MD5_I, c, d, a, b, x[6], 15, 0xa3014314u);
    MD5_STEP(MD5_I, b, c, d, a, x[13], 21, 0x4e0811a1u);
    MD5_STEP(MD5_I, a, b, c, d, x[4], 6, 0xf7537e82u);
    MD5_STEP(MD5_I, d, a, b, c, x[11], 10, 0xbd3af235u);
    MD5_STEP(MD5_I, c, d, a, b, x[2], 15, 0x2ad7d2bbu);
    MD5_STEP(MD5_I, b, c, d, a, x[9], 21, 0xeb86d391u);

    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void md5_C::update(const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    size_t used = static_cast<size_t>(length_ % 64);
    length_ += size;
    if (used > 0) {
        const size_t take = size < 64 - used ? size : 64 - used;
        memcpy(pending_ + used, bytes, take);
        bytes += take;
        size -= take;
        used += take;
        if (used < 64)
            return;
        transform(pending_);
    }
    for (; size >= 64; bytes += 64, size -= 64)
        transform(bytes);
    if (size > 0)
        memcpy(pending_, bytes, size);
}

void md5_C::finish(unsigned char digest[16]) {
    const uint64_t bits = length_ * 8;
    const size_t used = static_cast<size_t>(length_ % 64);
    // A one bit, zeros up to 56 bytes into a block, then the bit length.
    unsigned char padding[72] = {0x80};
    const size_t pad = used < 56 ? 56 - used : 120 - used;
    update(padding, pad);
    unsigned char length_bytes[8];
    store_le32(length_bytes, static_cast<uint32_t>(bits));
    store_le32(length_bytes + 4, static_cast<uint32_t>(bits >> 32));
    update(length_bytes, 8);
    for (int i = 0; i < 4; ++i)
        store_le32(digest + 4 * i, state_[i]);
    init();
}

std::string md5_C::hex_of(const std::string& message) {
    md5_C md5;
    md5.update(message.data(), message.size());
    unsigned char digest[16];
    md5.finish(digest);
    return hex(digest);
}

std::string md5_C::hex(const unsigned char digest[16]) {
    std::string text;
    char pair[3];
    for (int i = 0; i < 16; ++i) {
        snprintf(pair, sizeof pair, "%02x", digest[i]);
        text += pair;
    }
    return text;
}

bool md5_C::self_test(update_run_C& run) {
    int number = 1;
    for (const auto& test : rfc_suite) {
        const std::string digest = hex_of(test.message);
        char title[32];
        snprintf(title, sizeof title, "test %d ", number++);
        run.shown.message_box(title);
        const bool passed = digest == test.digest;
        run.shown.message_box(passed ? "passed\n" : "failed\n");
        if (!passed)
            return false;
    }
    return true;
}

bool md5_C::doit(update_run_C& run, const std::string& root, const std::string& name,
                 std::string& out) {
    if (name.empty())
        return self_test(run);
    const std::string path = root + "\\" + name;
    FILE* file = qp::open_stream(path.c_str(), "rb");
    if (!file) {
        run.log.log_format("md5_C::doit  [ERROR : CAN'T OPEN FILE : %s]", path.c_str());
        return false;
    }
    init();
    std::vector<unsigned char> buffer(file_read_size);
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), file)) > 0)
        update(buffer.data(), got);
    // A read error also ends the loop; its digest would be of a part only.
    const bool read_whole = !ferror(file);
    fclose(file);
    unsigned char digest[16];
    finish(digest);
    if (!read_whole) {
        run.log.log_format("md5_C::doit  [ERROR : CAN'T READ FILE : %s]", path.c_str());
        return false;
    }
    out += hex(digest);
    return true;
}
