// One network log line: the library's append (folder check, open, write,
// close under its lock) against the bare C run-time append of the same line.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <filesystem>
#include <string>

#include "quill/platform/clock.h"
#include "transport/CDebug.h"
#include "transport/network_log.h"

namespace {

namespace fs = std::filesystem;

class InScratch {
public:
    InScratch() : previous_(fs::current_path()) {
        path_ = fs::temp_directory_path() / "quill-bench-log";
        fs::remove_all(path_);
        fs::create_directories(path_);
        fs::current_path(path_);
    }
    ~InScratch() {
        fs::current_path(previous_);
        fs::remove_all(path_);
    }

private:
    fs::path previous_;
    fs::path path_;
};

void reference_fopen_append(benchmark::State& state) {
    InScratch scratch;
    fs::create_directory("QUILL_NETWORK_LOG");
    SYSTEMTIME now;
    qp::local_time(&now);
    char name[256];
    ntc::network_log_file_name(name, sizeof name, now.wMonth, now.wDay);
    int i = 0;
    for (auto _ : state) {
        FILE* file = fopen(name, "a");
        fprintf(file, "%s\n", "ConnectToServer() : Success");
        fclose(file);
        benchmark::DoNotOptimize(++i);
    }
}
BENCHMARK(reference_fopen_append)->Name("reference/fopen_append");

void append_debug_msg(benchmark::State& state) {
    InScratch scratch;
    for (auto _ : state)
        CDebug::AppendDebugMsg("%s", "ConnectToServer() : Success");
}
BENCHMARK(append_debug_msg)->Name("CDebug::AppendDebugMsg");

} // namespace
