// What a publisher signs beside a mirror's listing, in "ls.sig": the version
// text, the exact bytes of "ls.txt" (by their SHA-256), the SHA-256 of every
// file's plain content, and a publication number that grows from one
// publication to the next. The mirror's other files stay as they are, so an
// updater that knows nothing of signatures reads the mirror as before.
//
// The file is text, one field per line, each line ending in a line feed:
//
//   QUILL MIRROR SIGNATURE 1
//   publication <decimal number>
//   version <the listing's first line, as its bytes>
//   listing <SHA-256 of ls.txt, 64 lowercase hex digits>
//   file <SHA-256 of the plain content> <the file's entry name as listed>
//   ...                                   (one line per file, by entry name)
//   signature <r then s, 128 lowercase hex digits>
//
// The signature is ECDSA P-256 over the SHA-256 of every byte before the
// "signature" line.
#ifndef QUILL_UPDATE_TREE_MIRROR_SIGNATURE_H
#define QUILL_UPDATE_TREE_MIRROR_SIGNATURE_H

#include <stdint.h>

#include <map>
#include <string>

#include "quill/platform/signature.h"

extern const char* const mirror_signature_file_name; // "ls.sig"

struct mirror_signature_C {
    uint64_t publication = 0;
    std::string version;
    qp::Sha256Digest listing{};
    // Entry name as the listing holds it (code page 949) -> SHA-256.
    std::map<std::string, qp::Sha256Digest> files;
};

// The whole "ls.sig" text, signed with the key pair. False when the system
// cannot sign or a field would break its line.
bool sign_mirror_signature(const mirror_signature_C& content, const qp::PrivateKey& private_key,
                           const qp::PublicKey& public_key, std::string* text);

// Reads an "ls.sig" text and checks its signature with the publisher's key.
// False, with the reason, for anything else than a well-formed text signed
// by that key; *content is then unusable.
bool read_mirror_signature(const std::string& text, const qp::PublicKey& public_key,
                           mirror_signature_C* content, std::string* why);

// Only the publication number of a text, unchecked: what a publisher
// numbers the next publication after. 0 when there is none.
uint64_t publication_of(const std::string& text);

// Key files: a private one ("QUILL ECDSA P-256 PRIVATE KEY", then d and the
// public point in hex) and a public one ("QUILL ECDSA P-256 PUBLIC KEY",
// then the point in hex); the public key alone is also read as a bare line
// of 128 hex digits, the form a build setting takes.
std::string private_key_text(const qp::PrivateKey& private_key, const qp::PublicKey& public_key);
std::string public_key_text(const qp::PublicKey& public_key);
bool read_private_key(const std::string& text, qp::PrivateKey* private_key,
                      qp::PublicKey* public_key);
bool read_public_key(const std::string& text, qp::PublicKey* public_key);

// Lowercase hex of bytes, and back (false for anything but 2*N hex digits).
std::string hex_of(const uint8_t* bytes, size_t size);
bool bytes_of_hex(const std::string& hex, uint8_t* bytes, size_t size);

#endif
