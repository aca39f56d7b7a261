// Turning a build folder into the tree the updater's mirrors serve.
#ifndef QUILL_TOOLS_PUBLISH_H
#define QUILL_TOOLS_PUBLISH_H

#include <stdint.h>

#include <functional>
#include <string>

#include "quill/platform/signature.h"

// Called after each published file with the files and plain bytes done so
// far and the totals.
typedef std::function<void(int files_done, int file_count, int64_t bytes_done,
                           int64_t byte_count, const std::string& name)>
    publish_progress_C;

// Makes mirror hold exactly the mirror tree of source: "version.txt",
// "ls.txt" (the version line, every folder, every file with the size of
// its compressed form), "ls_compressed.txt.gz", and each file gzip
// compressed under its relative path + ".gz." + the MD5 of its content.
// The tree is built beside mirror and moved into place at the end, so a
// mirror is never seen half-written. An existing mirror is replaced only
// when it is empty or holds a listing; anything else is refused. False,
// with the reasons in error (one per line) and mirror untouched, when
// something cannot be published.
bool publish_mirror(const std::string& version, const std::string& source,
                    const std::string& mirror, const publish_progress_C& progress,
                    std::string& error);

// The publisher's key pair, for a signed mirror.
struct publish_key_C {
    qp::PrivateKey private_key;
    qp::PublicKey public_key;
};

// The same, and with a key also "ls.sig" (see tree/mirror_signature.h): the
// version, the listing's and every file's SHA-256, and a publication number
// past the one the mirror held, signed with the key.
bool publish_mirror(const std::string& version, const std::string& source,
                    const std::string& mirror, const publish_progress_C& progress,
                    const publish_key_C* signing, std::string& error);

// Makes a key pair into key_file (the private key; only its owner may read
// it where the system keeps such rights) and key_file + ".pub". False,
// writing nothing, when either exists or the system cannot make keys.
bool make_publisher_keys(const std::string& key_file, std::string& error);
// Reads a private key file made by make_publisher_keys.
bool read_publisher_key(const std::string& key_file, publish_key_C* key, std::string& error);

#endif
