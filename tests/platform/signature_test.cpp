#include "quill/platform/signature.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <size_t N> std::array<uint8_t, N> from_hex(const char* hex) {
    std::array<uint8_t, N> bytes{};
    for (size_t i = 0; i < N; ++i) {
        const std::string pair(hex + 2 * i, 2);
        bytes[i] = static_cast<uint8_t>(std::stoul(pair, nullptr, 16));
    }
    return bytes;
}

// A key pair and a signature made with another implementation of the same
// algorithms, so that each system's result is checked against a third one.
const qp::PublicKey kPublic = from_hex<64>(
    "8463b2ecb0c3c98cae4e02aa82f23a6c61af2802dc736a061d353a1bcf2383d8"
    "4dfb3a8b224d7dce754948acddc235dcd2d1ba2b35d2d03d9f8d9f1380f4034d");
const qp::PrivateKey kPrivate =
    from_hex<32>("a3b8cdbdcf5b367bd115e84ca97dde57fadebd7f599f0052658923894be71200");
const std::string kMessage = "Quill test message: version 1.0\n";
const qp::Signature kSignature = from_hex<64>(
    "65c40ebc10b4aa715fdb1f6e8b7eef12db146cf3649740a0e5b6eb7a6d12d573"
    "ab400966773290ca9818e6be431f35cc11d8cf5d30a8b613cd63848ad1a69d24");

bool verifies(const qp::PublicKey& key, const std::string& message,
              const qp::Signature& signature) {
    return qp::verify_data(key, message.data(), message.size(), signature);
}

TEST(Signature, AnotherImplementationsSignatureVerifiesAndNoChangedByteDoes) {
    EXPECT_TRUE(verifies(kPublic, kMessage, kSignature));
    std::string changed = kMessage;
    changed[0] ^= 1;
    EXPECT_FALSE(verifies(kPublic, changed, kSignature));
    EXPECT_FALSE(verifies(kPublic, kMessage + "x", kSignature));
    for (size_t i : {0u, 31u, 32u, 63u}) {
        qp::Signature bad = kSignature;
        bad[i] ^= 0x80;
        EXPECT_FALSE(verifies(kPublic, kMessage, bad)) << "signature byte " << i;
    }
    qp::PublicKey other = kPublic;
    other[5] ^= 1; // no longer a point of the curve
    EXPECT_FALSE(verifies(other, kMessage, kSignature));
    EXPECT_FALSE(verifies(qp::PublicKey{}, kMessage, kSignature));
    EXPECT_FALSE(verifies(kPublic, kMessage, qp::Signature{}));
    qp::Signature all_ones;
    all_ones.fill(0xFF); // r and s beyond the curve's order
    EXPECT_FALSE(verifies(kPublic, kMessage, all_ones));
}

TEST(Signature, OwnSignaturesVerifyWithTheirKeyOnly) {
    qp::Signature signature;
    ASSERT_TRUE(qp::sign_data(kPrivate, kPublic, kMessage.data(), kMessage.size(), &signature));
    EXPECT_TRUE(verifies(kPublic, kMessage, signature));
    EXPECT_FALSE(verifies(kPublic, "another message", signature));

    qp::PrivateKey private_key;
    qp::PublicKey public_key;
    ASSERT_TRUE(qp::make_key_pair(&private_key, &public_key));
    EXPECT_NE(public_key, kPublic);
    ASSERT_TRUE(qp::sign_data(private_key, public_key, "", 0, &signature));
    EXPECT_TRUE(qp::verify_data(public_key, "", 0, signature));
    EXPECT_FALSE(qp::verify_data(kPublic, "", 0, signature));
}

TEST(Sha256, KnownDigestsInOnePieceAndInMany) {
    qp::Sha256Digest digest;
    ASSERT_TRUE(qp::sha256_of(kMessage.data(), kMessage.size(), &digest));
    EXPECT_EQ(digest,
              from_hex<32>("d9a5752ca2063091c9f2addd25c34b754f0ea4773fb19cd65c840332b11dd0bf"));
    ASSERT_TRUE(qp::sha256_of("", 0, &digest));
    EXPECT_EQ(digest,
              from_hex<32>("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    qp::Sha256 pieces;
    for (char c : kMessage)
        ASSERT_TRUE(pieces.update(&c, 1));
    ASSERT_TRUE(pieces.finish(&digest));
    EXPECT_EQ(digest,
              from_hex<32>("d9a5752ca2063091c9f2addd25c34b754f0ea4773fb19cd65c840332b11dd0bf"));
}

} // namespace
