// Signatures of what a publisher ships: ECDSA over the curve P-256 with
// SHA-256, and SHA-256 digests, through the system's own cryptography (CNG
// on Windows, libcrypto elsewhere); no cryptography of our own.
//
// Keys and signatures are plain big-endian bytes, the same on every system:
// a public key is the point's X then Y (64 bytes), a private key the scalar
// d (32 bytes), a signature r then s (64 bytes).
#ifndef QUILL_PLATFORM_SIGNATURE_H
#define QUILL_PLATFORM_SIGNATURE_H

#include <stddef.h>
#include <stdint.h>

#include <array>
#include <memory>

namespace qp {

typedef std::array<uint8_t, 64> PublicKey;
typedef std::array<uint8_t, 32> PrivateKey;
typedef std::array<uint8_t, 64> Signature;
typedef std::array<uint8_t, 32> Sha256Digest;

// A new key pair from the system's random source. False when the system
// cannot make one.
bool make_key_pair(PrivateKey* private_key, PublicKey* public_key);

// Signs the SHA-256 of data. False for a key the system refuses (not a
// scalar of the curve, or not the pair of public_key).
bool sign_data(const PrivateKey& private_key, const PublicKey& public_key, const void* data,
               size_t size, Signature* signature);

// True only when signature is public_key's signature of the SHA-256 of
// data. A public key off the curve, a signature out of range, or any
// failure of the system gives false.
bool verify_data(const PublicKey& public_key, const void* data, size_t size,
                 const Signature& signature);

// SHA-256 over data given in pieces.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False once the system has failed; the digest is then not to be used.
    bool update(const void* data, size_t size);
    bool finish(Sha256Digest* digest);

    struct State;

private:
    std::unique_ptr<State> state_;
};

// The digest of one block of data; false when the system fails.
bool sha256_of(const void* data, size_t size, Sha256Digest* digest);

} // namespace qp

#endif
