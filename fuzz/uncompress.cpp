// Arbitrary bytes through the uncompression of a download. The first byte
// steers: odd, and the rest is plain content, compressed here and
// uncompressed by the updater, which must give it back exactly; even, and
// the rest is the downloaded file itself. Either way a success leaves the
// plain file, within its bound, in place of the compressed one, and a
// failure leaves no plain file at all.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <zlib.h>

#include "common/uncompress.h"
#include "reader_input.h"

namespace fs = std::filesystem;

namespace {

void require(bool condition) {
    if (!condition)
        abort();
}

const char* const kCompressed = "fuzz_uncompress.bin.gz";
const char* const kPlain = "fuzz_uncompress.bin";

bool write_bytes(const char* name, const uint8_t* data, size_t size) {
    FILE* file = fopen(name, "wb");
    if (!file)
        return false;
    const bool written = size == 0 || fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

bool write_gzip(const char* name, const uint8_t* data, size_t size) {
    gzFile file = gzopen(name, "wb");
    if (!file)
        return false;
    const bool written =
        size == 0 || gzwrite(file, data, static_cast<unsigned>(size)) == static_cast<int>(size);
    return gzclose(file) == Z_OK && written;
}

std::string read_bytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    update_run_C& run = quiet_run();
    if (size < 1)
        return 0;
    const bool plain_content = data[0] & 1;
    ++data;
    --size;
    std::error_code ignored;
    fs::remove(kPlain, ignored);
    if (!(plain_content ? write_gzip(kCompressed, data, size)
                        : write_bytes(kCompressed, data, size)))
        return 0;
    const uint64_t compressed_size = fs::file_size(kCompressed);

    const bool done = uncompress_it(run, kCompressed);
    if (plain_content) {
        require(done);
        require(read_bytes(kPlain) == std::string(reinterpret_cast<const char*>(data), size));
    }
    if (done) {
        require(!fs::exists(kCompressed));
        require(fs::file_size(kPlain) <= uncompressed_bound(compressed_size, UINT64_MAX));
    } else {
        require(!fs::exists(kPlain));
        fs::remove(kCompressed, ignored);
    }
    fs::remove(kPlain, ignored);
    return 0;
}
