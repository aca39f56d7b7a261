// ECDSA P-256 and SHA-256 through libcrypto (OpenSSL 3): keys are built
// from and taken apart into their raw bytes, signatures turned between the
// library's DER form and r then s.
#include "quill/platform/signature.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <string.h>

namespace qp {

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
    bool failed = false;
};

namespace {

const char kCurve[] = "prime256v1";

// 0x04, X, Y: the uncompressed point the library takes and gives.
void uncompressed_point(const PublicKey& key, uint8_t out[65]) {
    out[0] = 0x04;
    memcpy(out + 1, key.data(), key.size());
}

// A key from its bytes: the public point, and the private scalar if given.
EVP_PKEY* key_from_bytes(const PublicKey& public_key, const PrivateKey* private_key) {
    uint8_t point[65];
    uncompressed_point(public_key, point);
    OSSL_PARAM_BLD* build = OSSL_PARAM_BLD_new();
    BIGNUM* scalar = nullptr;
    OSSL_PARAM* params = nullptr;
    EVP_PKEY* key = nullptr;
    bool ok = build &&
              OSSL_PARAM_BLD_push_utf8_string(build, OSSL_PKEY_PARAM_GROUP_NAME, kCurve, 0) &&
              OSSL_PARAM_BLD_push_octet_string(build, OSSL_PKEY_PARAM_PUB_KEY, point,
                                               sizeof point);
    if (ok && private_key) {
        scalar = BN_bin2bn(private_key->data(), static_cast<int>(private_key->size()), nullptr);
        ok = scalar && OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_PRIV_KEY, scalar);
    }
    if (ok)
        params = OSSL_PARAM_BLD_to_param(build);
    EVP_PKEY_CTX* context = params ? EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr) : nullptr;
    if (context && EVP_PKEY_fromdata_init(context) > 0)
        EVP_PKEY_fromdata(context, &key, private_key ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY,
                          params);
    EVP_PKEY_CTX_free(context);
    OSSL_PARAM_free(params);
    BN_clear_free(scalar);
    OSSL_PARAM_BLD_free(build);
    return key;
}

// The library builds a key from any bytes; only a point of the curve (and
// a private key that is its pair) may be used.
bool key_is_sound(EVP_PKEY* key, bool with_private) {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
    if (!context)
        return false;
    const bool sound = with_private ? EVP_PKEY_pairwise_check(context) == 1
                                    : EVP_PKEY_public_check(context) == 1;
    EVP_PKEY_CTX_free(context);
    return sound;
}

bool to_raw_signature(const unsigned char* der, size_t size, Signature* out) {
    ECDSA_SIG* parsed = d2i_ECDSA_SIG(nullptr, &der, static_cast<long>(size));
    if (!parsed)
        return false;
    const BIGNUM* r = ECDSA_SIG_get0_r(parsed);
    const BIGNUM* s = ECDSA_SIG_get0_s(parsed);
    const bool ok = BN_bn2binpad(r, out->data(), 32) == 32 && BN_bn2binpad(s, out->data() + 32, 32) == 32;
    ECDSA_SIG_free(parsed);
    return ok;
}

// The DER form of r then s; empty when they are no signature's numbers.
bool to_der_signature(const Signature& raw, unsigned char** der, int* size) {
    ECDSA_SIG* sig = ECDSA_SIG_new();
    BIGNUM* r = BN_bin2bn(raw.data(), 32, nullptr);
    BIGNUM* s = BN_bin2bn(raw.data() + 32, 32, nullptr);
    if (!sig || !r || !s || !ECDSA_SIG_set0(sig, r, s)) {
        BN_free(r);
        BN_free(s);
        ECDSA_SIG_free(sig);
        return false;
    }
    *der = nullptr;
    *size = i2d_ECDSA_SIG(sig, der);
    ECDSA_SIG_free(sig);
    return *size > 0;
}

} // namespace

bool make_key_pair(PrivateKey* private_key, PublicKey* public_key) {
    EVP_PKEY* key = EVP_EC_gen(kCurve);
    if (!key)
        return false;
    BIGNUM* scalar = nullptr;
    uint8_t point[65];
    size_t point_size = 0;
    bool ok = EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_PRIV_KEY, &scalar) == 1 &&
              BN_bn2binpad(scalar, private_key->data(), 32) == 32 &&
              EVP_PKEY_get_octet_string_param(key, OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point,
                                              &point_size) == 1 &&
              point_size == sizeof point && point[0] == 0x04;
    if (ok)
        memcpy(public_key->data(), point + 1, public_key->size());
    BN_clear_free(scalar);
    EVP_PKEY_free(key);
    return ok;
}

bool sign_data(const PrivateKey& private_key, const PublicKey& public_key, const void* data,
               size_t size, Signature* signature) {
    EVP_PKEY* key = key_from_bytes(public_key, &private_key);
    if (!key)
        return false;
    bool ok = key_is_sound(key, true);
    EVP_MD_CTX* context = ok ? EVP_MD_CTX_new() : nullptr;
    unsigned char der[80];
    size_t der_size = sizeof der;
    ok = context && EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key) == 1 &&
         EVP_DigestSign(context, der, &der_size, static_cast<const unsigned char*>(data), size) ==
             1 &&
         to_raw_signature(der, der_size, signature);
    EVP_MD_CTX_free(context);
    EVP_PKEY_free(key);
    return ok;
}

bool verify_data(const PublicKey& public_key, const void* data, size_t size,
                 const Signature& signature) {
    EVP_PKEY* key = key_from_bytes(public_key, nullptr);
    if (!key)
        return false;
    unsigned char* der = nullptr;
    int der_size = 0;
    bool ok = key_is_sound(key, false) && to_der_signature(signature, &der, &der_size);
    EVP_MD_CTX* context = ok ? EVP_MD_CTX_new() : nullptr;
    ok = context && EVP_DigestVerifyInit(context, nullptr, EVP_sha256(), nullptr, key) == 1 &&
         EVP_DigestVerify(context, der, static_cast<size_t>(der_size),
                          static_cast<const unsigned char*>(data), size) == 1;
    EVP_MD_CTX_free(context);
    OPENSSL_free(der);
    EVP_PKEY_free(key);
    return ok;
}

Sha256::Sha256() : state_(new State) {
    state_->context = EVP_MD_CTX_new();
    state_->failed =
        !state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1;
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(state_->context);
}

bool Sha256::update(const void* data, size_t size) {
    if (!state_->failed && EVP_DigestUpdate(state_->context, data, size) != 1)
        state_->failed = true;
    return !state_->failed;
}

bool Sha256::finish(Sha256Digest* digest) {
    unsigned int size = 0;
    if (!state_->failed && (EVP_DigestFinal_ex(state_->context, digest->data(), &size) != 1 ||
                            size != digest->size()))
        state_->failed = true;
    return !state_->failed;
}

} // namespace qp
