// ECDSA P-256 and SHA-256 through CNG: keys travel as the system's ECC key
// blobs (X, Y and d after a small header), signatures as r then s, which
// is the system's own form.
#include "quill/platform/signature.h"

// The platform's types bring <winsock2.h>, which must come before <windows.h>.
#include "quill/platform/types.h"

#include <windows.h>
#include <bcrypt.h>

#include <string.h>

#include <vector>

namespace qp {

struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = false;
};

namespace {

bool succeeded(NTSTATUS status) {
    return status >= 0;
}

// The algorithm provider, opened for one use and closed after it.
class Provider {
public:
    explicit Provider(LPCWSTR name) {
        if (!succeeded(BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0)))
            handle_ = nullptr;
    }
    ~Provider() {
        if (handle_)
            BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
public:
    Key() = default;
    ~Key() {
        if (handle_)
            BCryptDestroyKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE* put() { return &handle_; }
    BCRYPT_KEY_HANDLE get() const { return handle_; }

private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

// A key blob: the header, X, Y and, for a private key, d.
std::vector<UCHAR> key_blob(const PublicKey& public_key, const PrivateKey* private_key) {
    BCRYPT_ECCKEY_BLOB header;
    header.dwMagic = private_key ? BCRYPT_ECDSA_PRIVATE_P256_MAGIC : BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = 32;
    std::vector<UCHAR> blob(sizeof header + public_key.size() +
                            (private_key ? private_key->size() : 0));
    memcpy(blob.data(), &header, sizeof header);
    memcpy(blob.data() + sizeof header, public_key.data(), public_key.size());
    if (private_key)
        memcpy(blob.data() + sizeof header + public_key.size(), private_key->data(),
               private_key->size());
    return blob;
}

bool import_key(const Provider& provider, const PublicKey& public_key,
                const PrivateKey* private_key, Key* key) {
    std::vector<UCHAR> blob = key_blob(public_key, private_key);
    const NTSTATUS status = BCryptImportKeyPair(
        provider.get(), nullptr, private_key ? BCRYPT_ECCPRIVATE_BLOB : BCRYPT_ECCPUBLIC_BLOB,
        key->put(), blob.data(), static_cast<ULONG>(blob.size()), 0);
    SecureZeroMemory(blob.data(), blob.size());
    return succeeded(status);
}

} // namespace

bool make_key_pair(PrivateKey* private_key, PublicKey* public_key) {
    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    Key key;
    if (!provider.get() ||
        !succeeded(BCryptGenerateKeyPair(provider.get(), key.put(), 256, 0)) ||
        !succeeded(BCryptFinalizeKeyPair(key.get(), 0)))
        return false;
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 96);
    ULONG size = 0;
    const bool exported =
        succeeded(BCryptExportKey(key.get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, blob.data(),
                                  static_cast<ULONG>(blob.size()), &size, 0)) &&
        size == blob.size();
    if (exported) {
        memcpy(public_key->data(), blob.data() + sizeof(BCRYPT_ECCKEY_BLOB), 64);
        memcpy(private_key->data(), blob.data() + sizeof(BCRYPT_ECCKEY_BLOB) + 64, 32);
    }
    SecureZeroMemory(blob.data(), blob.size());
    return exported;
}

bool sign_data(const PrivateKey& private_key, const PublicKey& public_key, const void* data,
               size_t size, Signature* signature) {
    Sha256Digest digest;
    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    Key key;
    ULONG written = 0;
    return sha256_of(data, size, &digest) && provider.get() &&
           import_key(provider, public_key, &private_key, &key) &&
           succeeded(BCryptSignHash(key.get(), nullptr, digest.data(),
                                    static_cast<ULONG>(digest.size()), signature->data(),
                                    static_cast<ULONG>(signature->size()), &written, 0)) &&
           written == signature->size();
}

bool verify_data(const PublicKey& public_key, const void* data, size_t size,
                 const Signature& signature) {
    Sha256Digest digest;
    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    Key key;
    // The system takes the signature as writable bytes; it does not change them.
    Signature copy = signature;
    return sha256_of(data, size, &digest) && provider.get() &&
           import_key(provider, public_key, nullptr, &key) &&
           BCryptVerifySignature(key.get(), nullptr, digest.data(),
                                 static_cast<ULONG>(digest.size()), copy.data(),
                                 static_cast<ULONG>(copy.size()), 0) == 0;
}

Sha256::Sha256() : state_(new State) {
    state_->failed =
        !succeeded(BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM,
                                               nullptr, 0)) ||
        !succeeded(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() {
    if (state_->hash)
        BCryptDestroyHash(state_->hash);
    if (state_->algorithm)
        BCryptCloseAlgorithmProvider(state_->algorithm, 0);
}

bool Sha256::update(const void* data, size_t size) {
    const UCHAR* bytes = static_cast<const UCHAR*>(data);
    // The system counts in 32 bits.
    while (!state_->failed && size > 0) {
        const ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
        if (!succeeded(BCryptHashData(state_->hash, const_cast<UCHAR*>(bytes), piece, 0)))
            state_->failed = true;
        bytes += piece;
        size -= piece;
    }
    return !state_->failed;
}

bool Sha256::finish(Sha256Digest* digest) {
    if (!state_->failed &&
        !succeeded(BCryptFinishHash(state_->hash, digest->data(),
                                    static_cast<ULONG>(digest->size()), 0)))
        state_->failed = true;
    return !state_->failed;
}

} // namespace qp
