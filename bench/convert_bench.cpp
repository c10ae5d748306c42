// The conversion library's demosaicing over camera frame sizes, beside a memcpy of the adapter's
// 4-byte destination (the baseline the export path is judged against): the frame with the fastest
// row kernel this machine runs (what ConvertBayer2Rgb does), with the SSE2 kernel, and with the
// plain scalar rows (the speed-up the vector kernels buy). Each size also runs the adapter's whole
// colour conversion: demosaicing followed by the adapter's own 3-to-4-byte expansion. A summary of
// ratios against memcpy is printed at the end.
//
// The program links the conversion library's static core and the adapter's pixel kernels, and no
// shared library, so it holds one copy of each.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "acquisition/pixel_rows.h"
#include "cpu_time_reporter.h"
#include "demosaic.h"

namespace {

using raw2rgb::RowKernel;

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
    raw2rgb::Frame frame{};

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
        // As ConvertBayer2Rgb sets a frame up: top row first, tables in the order blue, green, red.
        frame = {
            mosaic.data(), bgr.data(), size.width, size.height, false, {}, {lutB.data(), lutG.data(), lutR.data()}};
        if (!raw2rgb::LayoutFromCode(kLayout, &frame.layout)) std::abort();
    }
};

std::string RunName(const char* prefix, Size size) {
    char name[64];
    std::snprintf(name, sizeof name, "%s/%dx%d", prefix, size.width, size.height);
    return name;
}

void SetRates(benchmark::State& state, Size size) {
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
    SetRates(state, size);
}

void BM_Convert(benchmark::State& state, Size size, RowKernel kernel) {
    Workload w(size);
    for (auto _ : state) {
        raw2rgb::DemosaicFrame(w.frame, kernel);
        benchmark::ClobberMemory();
    }
    SetRates(state, size);
}

void BM_ConvertExpand(benchmark::State& state, Size size) {
    Workload w(size);
    for (auto _ : state) {
        raw2rgb::DemosaicFrame(w.frame);
        korvex::pixels::ExpandBgr(w.bgr.data(), w.bgr0.data(), w.mosaic.size());
        benchmark::ClobberMemory();
    }
    SetRates(state, size);
}

// Console output as usual, plus the CPU time per iteration of each run (steadier than wall time
// on a shared machine), kept for the summary.
class SummaryReporter : public CpuTimeReporter {
public:
    void PrintSummary() const {
        std::printf(
            "\nTime relative to memcpy of width x height x 4 bytes (lower is better); convert = the fastest\n"
            "kernel here, export = convert + the adapter's SIMD 3-to-4-byte expansion, speed-up = scalar / convert:\n");
        std::printf("%-11s %10s %10s %10s %10s %10s\n", "size", "convert", "sse2", "scalar", "export", "speed-up");
        for (const Size& size : kSizes) {
            const double base = TimeOf(RunName("memcpy4", size));
            if (base <= 0.0) continue;
            const double convert = TimeOf(RunName("convert", size));
            const double scalar = TimeOf(RunName("scalar", size));
            const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height);
            std::printf("%-11s %9.2fx %9.2fx %9.2fx %9.2fx %9.2fx\n", label.c_str(), convert / base,
                        TimeOf(RunName("sse2", size)) / base, scalar / base, TimeOf(RunName("export", size)) / base,
                        convert > 0.0 ? scalar / convert : 0.0);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const RowKernel best = raw2rgb::BestRowKernel();
    for (const Size& size : kSizes) {
        benchmark::RegisterBenchmark(RunName("memcpy4", size).c_str(), BM_Memcpy, size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(RunName("convert", size).c_str(), BM_Convert, size, best)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(RunName("sse2", size).c_str(), BM_Convert, size, RowKernel::Sse2)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(RunName("scalar", size).c_str(), BM_Convert, size, RowKernel::Scalar)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(RunName("export", size).c_str(), BM_ConvertExpand, size)
            ->Unit(benchmark::kMicrosecond);
    }
    return RunWithSummary<SummaryReporter>(argc, argv);
}
