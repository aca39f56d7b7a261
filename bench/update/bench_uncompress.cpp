// uncompress_it of a 256 MiB gzip file against "gzip -dc FILE > OUT" of the
// same file, in one run. The content is what a game's files look like to
// deflate: mostly data that does not shrink, with stretches of text. Each
// side writes its plain file into the same folder; uncompress_it deletes
// its input, so it gets a fresh copy, made untimed, every round. The sides
// take turns, three rounds each, and the best round of each counts. Both
// plain files must agree.
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <zlib.h>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/uncompress.h"
#include "common/update_run_C.h"
#include "update/bench_files.h"

namespace fs = std::filesystem;

namespace {

const uint64_t kGzipSize = 256ull << 20;
const int kRounds = 3;
const size_t kBlock = 64 << 10;
const size_t kNoisePart = 48 << 10; // of each block; the rest is text

// The next block of plain content: noise, then lines of text.
void next_block(quill_bench::NoiseBytes& noise, unsigned block_number, std::vector<char>& out) {
    out.resize(kBlock);
    noise.fill(reinterpret_cast<unsigned char*>(out.data()), kNoisePart);
    size_t at = kNoisePart;
    unsigned line = 0;
    while (at < kBlock) {
        char text[96];
        const int n =
            snprintf(text, sizeof text, "object_%u_%u position %u %u scale 1.%02u\n", block_number,
                     line, (line * 37u) % 1000u, (line * 91u) % 1000u, line % 100u);
        const size_t take = std::min(static_cast<size_t>(n), kBlock - at);
        std::copy(text, text + take, out.data() + at);
        at += take;
        ++line;
    }
}

// Deflates blocks into a gzip file until it holds at least kGzipSize bytes.
// Returns the plain size, 0 on failure.
uint64_t write_gzip_file(const std::string& path) {
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return 0;
    z_stream stream = {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        fclose(out);
        return 0;
    }
    quill_bench::NoiseBytes noise(0xc0ffee11u);
    std::vector<char> plain;
    std::vector<unsigned char> packed(kBlock * 2);
    uint64_t plain_size = 0, packed_size = 0;
    bool ok = true;
    unsigned block_number = 0;
    int flush = Z_NO_FLUSH;
    while (ok && flush != Z_FINISH) {
        if (packed_size + kBlock >= kGzipSize) {
            flush = Z_FINISH;
            stream.avail_in = 0;
        } else {
            next_block(noise, block_number++, plain);
            stream.next_in = reinterpret_cast<Bytef*>(plain.data());
            stream.avail_in = static_cast<uInt>(plain.size());
            plain_size += plain.size();
        }
        int result;
        do {
            stream.next_out = packed.data();
            stream.avail_out = static_cast<uInt>(packed.size());
            result = deflate(&stream, flush);
            const size_t have = packed.size() - stream.avail_out;
            if (result == Z_STREAM_ERROR || fwrite(packed.data(), 1, have, out) != have)
                ok = false;
            packed_size += have;
        } while (ok && (stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END)));
    }
    deflateEnd(&stream);
    if (fclose(out) != 0)
        ok = false;
    return ok ? plain_size : 0;
}

} // namespace

int main() {
    quill_bench::TempFolder folder("quill-bench-gunzip");
    own_run_C<silent_front_end_C> quiet(folder.path());
    update_run_C& run = quiet.run;

    const std::string source = folder.file("source.dat.gz");
    printf("writing a gzip file of %llu MiB to %s\n",
           static_cast<unsigned long long>(kGzipSize >> 20), source.c_str());
    const uint64_t plain_size = write_gzip_file(source);
    const uint64_t gzip_size = quill_bench::file_size(source);
    if (plain_size == 0) {
        fprintf(stderr, "cannot write %s\n", source.c_str());
        return 1;
    }
    printf("gzip file %.1f MiB, plain content %.1f MiB\n", gzip_size / 1048576.0,
           plain_size / 1048576.0);

    const std::string ours_gz = folder.file("ours.dat.gz");
    const std::string ours_out = folder.file("ours.dat");
    const std::string reference_out = folder.file("reference.dat");
    const std::string command = "gzip -dc '" + source + "' > '" + reference_out + "'";

    quill_bench::BestTimes best;
    if (!quill_bench::race_rounds(
            kRounds, "uncompress_it", [&] { return uncompress_it(run, ours_gz); }, "gzip -dc",
            command,
            [&] {
                std::error_code ignored;
                fs::remove(ours_out, ignored);
                fs::remove(reference_out, ignored);
                fs::copy_file(source, ours_gz, fs::copy_options::overwrite_existing);
            },
            &best))
        return 1;
    if (quill_bench::file_size(ours_out) != plain_size ||
        !quill_bench::same_content(ours_out, reference_out)) {
        fprintf(stderr, "the plain files differ\n");
        return 1;
    }
    printf("both plain files hold the same %llu bytes\n",
           static_cast<unsigned long long>(plain_size));
    // Throughput counted in compressed bytes read, as the task is worded.
    quill_bench::print_throughput("gzip file to plain file", gzip_size, "uncompress_it",
                                  best.ours, "gzip -dc FILE > OUT", best.reference, 0.9);
    run.log.close_log_file();
    return 0;
}
