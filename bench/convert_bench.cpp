// ConvertBayer2Rgb over camera frame sizes, beside a memcpy of the adapter's 4-byte destination
// (the baseline the export path is judged against) and the tests' naive per-pixel converter (the
// speed-up the row kernels buy). Each size also runs the adapter's whole colour export: conversion
// followed by the adapter's own 3-to-4-byte expansion. A summary of ratios against memcpy is printed at the end.
#include <Raw2Rgb.h>
#include <benchmark/benchmark.h>

#include "acquisition/pixel_rows.h"
#include "reference_demosaic.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{640, 480}, {1280, 1024}, {1600, 1200}, {2048, 1536}};
constexpr int kLayout = 4;

struct Workload {
    std::vector<std::uint8_t> mosaic;
    std::vector<std::uint8_t> bgr;
    std::vector<std::uint8_t> bgr0;
    std::vector<std::uint8_t> copy;
    std::array<std::uint8_t, 256> lutR{}, lutG{}, lutB{};

    explicit Workload(Size size) {
        const std::size_t n = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
        std::mt19937 rng(42);
        mosaic.resize(n);
        for (auto& v : mosaic) v = static_cast<std::uint8_t>(rng());
        bgr.resize(n * 3);
        bgr0.resize(n * 4);
        copy.resize(n * 4);
        for (int i = 0; i < 256; ++i) {  // white-balance-like gains with a gamma: not identity
            lutR[i] = static_cast<std::uint8_t>(std::min(255, i * 5 / 4));
            lutG[i] = static_cast<std::uint8_t>(255 - (255 - i) * (255 - i) / 255);
            lutB[i] = static_cast<std::uint8_t>(i * 3 / 4);
        }
    }
};

std::string run_name(const char* prefix, Size size) {
    char name[64];
    std::snprintf(name, sizeof name, "%s/%dx%d", prefix, size.width, size.height);
    return name;
}

void set_rates(benchmark::State& state, Size size) {
    const auto pixels = static_cast<std::int64_t>(size.width) * size.height;
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * pixels * 4);
}

void BM_Memcpy(benchmark::State& state, Size size) {
    Workload w(size);
    for (auto _ : state) {
        std::memcpy(w.copy.data(), w.bgr0.data(), w.bgr0.size());
        benchmark::ClobberMemory();
    }
    set_rates(state, size);
}

void BM_Convert(benchmark::State& state, Size size) {
    Workload w(size);
    for (auto _ : state) {
        ConvertBayer2Rgb(w.bgr.data(), w.mosaic.data(), size.width, size.height, 1, w.lutR.data(), w.lutG.data(),
                         w.lutB.data(), 0, kLayout);
        benchmark::ClobberMemory();
    }
    set_rates(state, size);
}

void BM_ConvertExpand(benchmark::State& state, Size size) {
    Workload w(size);
    for (auto _ : state) {
        ConvertBayer2Rgb(w.bgr.data(), w.mosaic.data(), size.width, size.height, 1, w.lutR.data(), w.lutG.data(),
                         w.lutB.data(), 0, kLayout);
        korvex::pixels::ExpandBgr(w.bgr.data(), w.bgr0.data(), w.mosaic.size());
        benchmark::ClobberMemory();
    }
    set_rates(state, size);
}

void BM_Naive(benchmark::State& state, Size size) {
    Workload w(size);
    for (auto _ : state) {
        // The tests' oracle; it returns a fresh vector, which is part of being naive.
        benchmark::DoNotOptimize(raw2rgb_test::reference_demosaic(w.mosaic.data(), size.width, size.height, kLayout,
                                                                  w.lutR.data(), w.lutG.data(), w.lutB.data()));
        benchmark::ClobberMemory();
    }
    set_rates(state, size);
}

// Console output as usual, plus the CPU time per iteration of each run (steadier than wall time
// on a shared machine), kept for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
            else if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds_[run.run_name.str()] = run.GetAdjustedCPUTime();  // median of the repetitions
        ConsoleReporter::ReportRuns(runs);
    }

    void print_summary() const {
        std::printf(
            "\nTime relative to memcpy of width x height x 4 bytes (lower is better);\n"
            "export = convert + the adapter's SIMD 3-to-4-byte expansion:\n");
        std::printf("%-11s %10s %16s %10s %10s\n", "size", "convert", "export", "naive", "speed-up");
        for (const Size& size : kSizes) {
            const double base = time_of(run_name("memcpy4", size));
            if (base <= 0.0) continue;
            const double convert = time_of(run_name("convert", size));
            const double naive = time_of(run_name("naive", size));
            const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height);
            std::printf("%-11s %9.2fx %15.2fx %9.2fx %9.2fx\n", label.c_str(), convert / base,
                        time_of(run_name("export", size)) / base, naive / base, convert > 0.0 ? naive / convert : 0.0);
        }
    }

private:
    [[nodiscard]] double time_of(const std::string& name) const {
        const auto it = seconds_.find(name);
        return it == seconds_.end() ? 0.0 : it->second;
    }

    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    for (const Size& size : kSizes) {
        benchmark::RegisterBenchmark(run_name("memcpy4", size).c_str(), BM_Memcpy, size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(run_name("convert", size).c_str(), BM_Convert, size)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(run_name("export", size).c_str(), BM_ConvertExpand, size)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(run_name("naive", size).c_str(), BM_Naive, size)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_summary();
    benchmark::Shutdown();
    return 0;
}
