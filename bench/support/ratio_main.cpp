// A benchmark main that, besides Google Benchmark's own table, prints each
// measured benchmark as a ratio to the reference of its program. A program
// names its reference by registering a benchmark whose name starts with
// "reference/".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        double reference = 0;
        std::string reference_name;
        for (const auto& [name, time] : times_)
            if (name.rfind("reference/", 0) == 0) {
                reference = time;
                reference_name = name;
            }
        if (reference <= 0)
            return;
        std::printf("\nratios to %s (same run):\n", reference_name.c_str());
        for (const auto& [name, time] : times_)
            if (name != reference_name)
                std::printf("  %-40s %.2fx\n", name.c_str(), time / reference);
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
