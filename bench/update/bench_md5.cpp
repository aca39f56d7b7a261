// md5_C::doit over a 256 MiB file against md5sum over the same file, in one
// run. Both read the file from the page cache: it is written just before and
// read once untimed. The sides take turns, three rounds each, and the best
// round of each counts. The digests must agree.
#include <stdio.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "common/front_end_C.h"
#include "common/logger_C.h"
#include "common/md5_C.h"
#include "common/update_run_C.h"
#include "update/bench_files.h"

namespace {

const uint64_t kFileSize = 256ull << 20;
const int kRounds = 3;

bool write_noise_file(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    std::vector<unsigned char> block(1 << 20);
    quill_bench::NoiseBytes noise(0x5eed1234u);
    for (uint64_t written = 0; written < kFileSize; written += block.size()) {
        noise.fill(block.data(), block.size());
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(block.size()));
    }
    return static_cast<bool>(out);
}

std::string first_word_of(const std::string& path) {
    std::ifstream in(path);
    std::string word;
    in >> word;
    return word;
}

} // namespace

int main() {
    quill_bench::TempFolder folder("quill-bench-md5");
    own_run_C<silent_front_end_C> quiet(folder.path());
    update_run_C& run = quiet.run;

    const std::string name = "data.bin";
    const std::string path = folder.file(name);
    printf("writing %llu MiB of noise to %s\n", static_cast<unsigned long long>(kFileSize >> 20),
           path.c_str());
    if (!write_noise_file(path)) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }

    md5_C md5;
    std::string ours;
    md5.doit(run, folder.path(), name, ours); // warms the page cache
    const std::string command = "md5sum '" + path + "' > '" + folder.file("sum.txt") + "'";

    quill_bench::BestTimes best;
    if (!quill_bench::race_rounds(
            kRounds, "md5_C::doit",
            [&] {
                ours.clear();
                return md5.doit(run, folder.path(), name, ours);
            },
            "md5sum", command, nullptr, &best))
        return 1;
    const std::string theirs = first_word_of(folder.file("sum.txt"));
    printf("digest md5_C %s, md5sum %s\n", ours.c_str(), theirs.c_str());
    if (ours != theirs) {
        fprintf(stderr, "the digests differ\n");
        return 1;
    }
    quill_bench::print_throughput("MD5 of a file", kFileSize, "md5_C::doit", best.ours,
                                  "md5sum FILE", best.reference, 0.9);
    run.log.close_log_file();
    return 0;
}
