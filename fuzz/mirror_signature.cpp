// Arbitrary bytes as a mirror's "ls.sig", read with the test publisher's
// key: a text is taken only when its signed part is exactly what signing
// what was read gives again, so that no byte of it escapes the signature
// and no two readings of one text exist. The same bytes also make the
// content of a signature (publication, version and file names, a line
// each), which must come back unchanged from signing and reading.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "tree/mirror_signature.h"

namespace {

// The test key pair of tests/support/keys.
const char kPrivateKey[] =
    "QUILL ECDSA P-256 PRIVATE KEY\n"
    "26afd9912934b3c3ba661e88ae5e2460b9631734eb739f0cb20c35ee93848969\n"
    "052cfdbcf9671bcff2617f78ef22f244cb9ac1b8bb8d81475d87178c3d765260"
    "eb98fcc98ab979a3ac2c2047873c2fffaf724104fd11b51a1f90e22ad2e1af92\n";

void require(bool condition) {
    if (!condition)
        abort();
}

struct keys_C {
    qp::PrivateKey private_key{};
    qp::PublicKey public_key{};
    keys_C() { require(read_private_key(kPrivateKey, &private_key, &public_key)); }
};

const keys_C& keys() {
    static const keys_C pair;
    return pair;
}

std::string signed_part(const std::string& text) {
    const size_t last = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

bool same(const mirror_signature_C& a, const mirror_signature_C& b) {
    return a.publication == b.publication && a.version == b.version && a.listing == b.listing &&
           a.files == b.files;
}

// The text as a signature file.
void read_as_signature(const std::string& text) {
    mirror_signature_C content;
    std::string why;
    if (!read_mirror_signature(text, keys().public_key, &content, &why)) {
        require(!why.empty());
        return;
    }
    require(publication_of(text) == content.publication);
    std::string again;
    require(sign_mirror_signature(content, keys().private_key, keys().public_key, &again));
    require(signed_part(again) == signed_part(text));
}

// The text as what a publisher signs.
void sign_and_read(const std::string& text) {
    mirror_signature_C content;
    size_t start = 0;
    int line = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        if (line == 0) {
            for (char c : part.substr(0, 19))
                content.publication = content.publication * 10 + static_cast<uint8_t>(c) % 10;
        } else if (line == 1) {
            content.version = part;
        } else {
            qp::Sha256Digest digest{};
            qp::sha256_of(part.data(), part.size(), &digest);
            content.files[part] = digest;
        }
        ++line;
        start = end + 1;
    }
    qp::sha256_of(text.data(), text.size(), &content.listing);
    std::string signed_text;
    if (!sign_mirror_signature(content, keys().private_key, keys().public_key, &signed_text)) {
        // Only a field that would break its line, or an empty name, is
        // refused.
        bool breaks = content.version.find('\r') != std::string::npos;
        for (const auto& file : content.files)
            breaks = breaks || file.first.empty() || file.first.find('\r') != std::string::npos;
        require(breaks);
        return;
    }
    mirror_signature_C back;
    std::string why;
    require(read_mirror_signature(signed_text, keys().public_key, &back, &why));
    require(same(content, back));
    // Any other key refuses it.
    qp::PublicKey other = keys().public_key;
    other[63] ^= 1;
    require(!read_mirror_signature(signed_text, other, &back, &why));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    read_as_signature(text);
    if (size < 4096)
        sign_and_read(text);
    return 0;
}
