// A console reporter that also keeps each run's CPU time per iteration (steadier than wall time
// on a shared machine): of a single run, or the median of its repetitions. Benchmarks derive
// their summary of ratios from it, and RunWithSummary is their main.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CpuTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
            else if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times_[run.run_name.str()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

protected:
    // The kept time of a run by name, in the benchmark's time unit; 0 when it did not run.
    [[nodiscard]] double TimeOf(const std::string& name) const {
        const auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> times_;
};

// Runs the benchmarks registered so far through a Reporter (a CpuTimeReporter with a
// PrintSummary), then prints its summary. Returns main's exit code.
template <typename Reporter>
int RunWithSummary(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
