// What the updater file benchmarks share: a scratch folder that goes away
// with the program, timing of a step and of a shell command, and the
// throughput table with its ratio.
#ifndef QUILL_BENCH_UPDATE_BENCH_FILES_H
#define QUILL_BENCH_UPDATE_BENCH_FILES_H

#include <stdint.h>

#include <chrono>
#include <functional>
#include <string>

namespace quill_bench {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& stem);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Seconds that f takes.
template <class F> double seconds_of(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs a shell command and returns its seconds, or a negative value when
// it did not succeed.
double seconds_of_command(const std::string& command);

uint64_t file_size(const std::string& path);
// True when both files hold the same bytes.
bool same_content(const std::string& a, const std::string& b);

// The best seconds of each side over some rounds.
struct BestTimes {
    double ours = 1e30;
    double reference = 1e30;
};

// rounds rounds of: prepare(), then ours (false when it failed) and the
// reference's shell command, each timed, with a line per round. False, with
// the failure on the standard error, as soon as either side fails.
bool race_rounds(int rounds, const char* ours_name, const std::function<bool()>& ours,
                 const char* reference_name, const std::string& reference_command,
                 const std::function<void()>& prepare, BestTimes* best);

// Prints the best of each side as MiB/s of the given bytes, and ours as a
// ratio of the reference's throughput next to the target.
void print_throughput(const char* title, uint64_t bytes, const char* ours_name, double ours_best,
                      const char* reference_name, double reference_best, double target);

// A repeatable stream of bytes that no compressor shrinks.
class NoiseBytes {
public:
    explicit NoiseBytes(uint64_t seed) : state_(seed) {}
    void fill(unsigned char* data, size_t size);

private:
    uint64_t state_;
};

} // namespace quill_bench

#endif
