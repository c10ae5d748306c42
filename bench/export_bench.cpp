// Frame export through the exported interface against memcpy of the same byte count, and the
// wake-up of a waiting export against a bare condition-variable ping-pong.
//
// Camera 1 is an HV3102UC (2048x1536 sensor), open and allocated but not capturing, so an
// export does not wait and measures only conversion and copying. Camera 2 captures in manual
// frame mode with a 64x16 window so that producing a frame costs little.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hvsim_control.h"
#include "korvex.h"

namespace {

constexpr int16_t kSizes[][2] = {{640, 480}, {1280, 1024}, {1600, 1200}, {2048, 1536}};

std::size_t Bytes(const benchmark::State& state, bool fourBytes) {
    return static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(1)) * (fourBytes ? 4 : 1);
}

void Export(benchmark::State& state, int16_t colour) {
    const auto w = static_cast<int16_t>(state.range(0));
    const auto h = static_cast<int16_t>(state.range(1));
    std::vector<uint8_t> out(Bytes(state, colour == 1));
    for (auto _ : state) {
        if (ZqExportImageData(1, out.data(), w, h, colour, 4) != 1) state.SkipWithError("export refused");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

void Memcpy(benchmark::State& state, bool fourBytes) {
    std::vector<uint8_t> from(Bytes(state, fourBytes), 1);
    std::vector<uint8_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * from.size()));
}

void BM_ColourExport(benchmark::State& state) { Export(state, 1); }
void BM_ColourMemcpy(benchmark::State& state) { Memcpy(state, true); }
void BM_MonoExport(benchmark::State& state) { Export(state, 0); }
void BM_MonoMemcpy(benchmark::State& state) { Memcpy(state, false); }

void Sizes(benchmark::internal::Benchmark* b) {
    for (const auto& s : kSizes) b->Args({s[0], s[1]});
    b->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_ColourExport)->Apply(Sizes);
BENCHMARK(BM_ColourMemcpy)->Apply(Sizes);
BENCHMARK(BM_MonoExport)->Apply(Sizes);
BENCHMARK(BM_MonoMemcpy)->Apply(Sizes);

// One round trip: the main thread hands the other a turn, the other hands it back.
class PingPong {
public:
    void Give(int turn) {
        {
            std::lock_guard lock(mutex_);
            turn_ = turn;
        }
        changed_.notify_all();
    }
    void Await(int turn) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return turn_ == turn; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int turn_ = 0;
};

// Round trip through the frame path: a frame's callback wakes the export waiting on another
// thread, which then tells this one through a condition variable.
void BM_FrameWakeRoundTrip(benchmark::State& state) {
    ZqSetTimeout(-1);
    PingPong back;
    std::atomic<bool> running{true};
    std::thread waiter([&] {
        uint8_t pixel[4];
        for (int n = 1;; ++n) {
            back.Give(-n);  // about to wait for frame n
            if (ZqExportImageData(2, pixel, 1, 1, 0, 1) != 1 || !running.load()) return;
        }
    });
    int n = 1;
    back.Await(-n);
    for (auto _ : state) {
        hvsim_deliver_frames(2, 1);
        ++n;
        back.Await(-n);  // the export woke and the waiter is back
    }
    running.store(false);
    hvsim_deliver_frames(2, 1);
    waiter.join();
}
BENCHMARK(BM_FrameWakeRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);

// What producing and delivering a frame costs with nobody waiting for it.
void BM_FrameDeliveryAlone(benchmark::State& state) {
    for (auto _ : state) hvsim_deliver_frames(2, 1);
}
BENCHMARK(BM_FrameDeliveryAlone)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_ConditionVariableRoundTrip(benchmark::State& state) {
    PingPong there;
    PingPong back;
    std::atomic<int> last{0};
    std::thread other([&] {
        for (int n = 1;; ++n) {
            there.Await(n);
            if (last.load() == n) return;
            back.Give(n);
        }
    });
    int n = 1;
    for (auto _ : state) {
        there.Give(n);
        back.Await(n);
        ++n;
    }
    last.store(n);
    there.Give(n);
    other.join();
}
BENCHMARK(BM_ConditionVariableRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Keeps each run's time per iteration, to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    char folder[] = "/tmp/korvex-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    setenv("KORVEX_CONFIG_DIR", folder, 1);
    if (hvsim_configure("HV3102UC,HV1300UM") != 2) return 1;
    hvsim_set_manual_frames(1);
    if (ZqOpenDevice(2) != 1 || ZqAllocateResources() != 1) return 1;
    ZqSetAOI(2, 0, 0, 64, 16);
    if (ZqStartGrab(2) != 1) return 1;

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nexport time / memcpy of the destination's bytes (targets: mono <= 2.5; colour <= 8 up to "
                "1280x1024, <= 3 above)\n");
    for (const auto& s : kSizes) {
        const std::string args = "/" + std::to_string(s[0]) + "/" + std::to_string(s[1]);
        for (const char* kind : {"Colour", "Mono"}) {
            const double exportTime = reporter.times[std::string("BM_") + kind + "Export" + args];
            const double copyTime = reporter.times[std::string("BM_") + kind + "Memcpy" + args];
            if (copyTime > 0) std::printf("  %-6s %4dx%-4d  %6.2fx\n", kind, s[0], s[1], exportTime / copyTime);
        }
    }
    const double wake = reporter.times["BM_FrameWakeRoundTrip/real_time"];
    const double alone = reporter.times["BM_FrameDeliveryAlone/real_time"];
    const double cv = reporter.times["BM_ConditionVariableRoundTrip/real_time"];
    if (cv > 0) {
        std::printf("wake-up round trip through a frame (less delivering the frame alone) / condition-variable "
                    "round trip: (%.1f - %.1f) / %.1f us = %.2fx\n",
                    wake, alone, cv, (wake - alone) / cv);
    }
    ZqStopGrab(2);
    ZqCloseDevice();
    std::remove((std::string(folder) + "/Korvex.ini").c_str());
    rmdir(folder);
    return 0;
}
