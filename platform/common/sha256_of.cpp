#include "quill/platform/signature.h"

namespace qp {

bool sha256_of(const void* data, size_t size, Sha256Digest* digest) {
    Sha256 hash;
    return hash.update(data, size) && hash.finish(digest);
}

} // namespace qp
