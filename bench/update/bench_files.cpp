#include "update/bench_files.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace quill_bench {

TempFolder::TempFolder(const std::string& stem) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path candidate;
    int counter = 0;
    do {
        candidate = fs::temp_directory_path() /
                    (stem + "-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    } while (!fs::create_directory(candidate));
    path_ = candidate.string();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

double seconds_of_command(const std::string& command) {
    int status = 0;
    const double seconds = seconds_of([&] { status = system(command.c_str()); });
    return status == 0 ? seconds : -1.0;
}

uint64_t file_size(const std::string& path) {
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    return error ? 0 : static_cast<uint64_t>(size);
}

bool same_content(const std::string& a, const std::string& b) {
    std::ifstream in_a(a, std::ios::binary);
    std::ifstream in_b(b, std::ios::binary);
    if (!in_a || !in_b)
        return false;
    std::vector<char> block_a(1 << 20), block_b(1 << 20);
    for (;;) {
        in_a.read(block_a.data(), static_cast<std::streamsize>(block_a.size()));
        in_b.read(block_b.data(), static_cast<std::streamsize>(block_b.size()));
        const std::streamsize got_a = in_a.gcount();
        if (got_a != in_b.gcount() ||
            memcmp(block_a.data(), block_b.data(), static_cast<size_t>(got_a)) != 0)
            return false;
        if (got_a == 0)
            return true;
    }
}

bool race_rounds(int rounds, const char* ours_name, const std::function<bool()>& ours,
                 const char* reference_name, const std::string& reference_command,
                 const std::function<void()>& prepare, BestTimes* best) {
    for (int round = 0; round < rounds; ++round) {
        if (prepare)
            prepare();
        bool ok = true;
        const double mine = seconds_of([&] { ok = ours(); });
        const double reference = seconds_of_command(reference_command);
        if (!ok || reference < 0) {
            fprintf(stderr, "%s or %s failed\n", ours_name, reference_name);
            return false;
        }
        best->ours = std::min(best->ours, mine);
        best->reference = std::min(best->reference, reference);
        printf("  round %d: %s %.3f s, %s %.3f s\n", round + 1, ours_name, mine, reference_name,
               reference);
    }
    return true;
}

void print_throughput(const char* title, uint64_t bytes, const char* ours_name, double ours_best,
                      const char* reference_name, double reference_best, double target) {
    const double mib = static_cast<double>(bytes) / (1024.0 * 1024.0);
    printf("\n%s (%.0f MiB, best of each side)\n", title, mib);
    printf("  %-36s %8.3f s  %8.1f MiB/s\n", ours_name, ours_best, mib / ours_best);
    printf("  %-36s %8.3f s  %8.1f MiB/s\n", reference_name, reference_best, mib / reference_best);
    const double ratio = reference_best / ours_best;
    printf("  ratio of throughput: %.2fx the reference (target %.2fx): %s\n", ratio, target,
           ratio >= target ? "met" : "NOT met");
}

void NoiseBytes::fill(unsigned char* data, size_t size) {
    // xorshift64*: fast, and its output looks random to deflate.
    for (size_t i = 0; i < size; i += 8) {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        const uint64_t value = state_ * 0x2545F4914F6CDD1DULL;
        const size_t n = size - i < 8 ? size - i : 8;
        memcpy(data + i, &value, n);
    }
}

} // namespace quill_bench
