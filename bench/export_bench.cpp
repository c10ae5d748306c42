// Frame export through the exported interface against memcpy of the same byte count, and the
// wake-up of a waiting export against a bare condition-variable ping-pong.
//
// The exports, copies and expansions are timed in CPU time of the measuring thread (all their work
// runs on it), so other work on a shared machine, which takes turns on the processors with this
// thread, moves neither side of a ratio.
//
// Camera 1 is an HV3102UC (2048x1536 sensor), open and allocated but not capturing, so an
// export does not wait and measures only conversion and copying. Camera 2 captures in manual
// frame mode with a 64x16 window so that producing a frame costs little.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "hvsim_control.h"
#include "korvex.h"

// The adapter's pixel kernels are not exported from Korvex, so the expansion benchmark compiles
// them in from their source (they keep no state).
#include "acquisition/pixel_rows.h"

namespace {

constexpr int16_t kSizes[][2] = {{640, 480}, {1280, 1024}, {1600, 1200}, {2048, 1536}};

std::size_t Bytes(const benchmark::State& state, bool fourBytes) {
    return static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(1)) * (fourBytes ? 4 : 1);
}

// A buffer aligned to 64 bytes whose start lies pageOffset bytes into a 4 KiB page, filled with
// fill. Two plain vectors of the same size start at the same place in a page (just past the
// allocator's header, 16 bytes in), which makes glibc's copy of some sizes several times slower
// than it is for buffers placed as the adapter places its own (64-byte aligned, at different
// page offsets); a fair baseline places its buffers like that.
class PlacedBuffer {
public:
    PlacedBuffer(std::size_t size, std::size_t pageOffset, uint8_t fill)
        : block_(static_cast<uint8_t*>(::operator new (size + 4096, std::align_val_t{4096}))),
          size_(size),
          data_(block_.get() + pageOffset) {
        std::memset(data_, fill, size);
    }
    uint8_t* data() { return data_; }
    std::size_t size() const { return size_; }

private:
    struct Release {
        void operator()(uint8_t* p) const { ::operator delete (p, std::align_val_t{4096}); }
    };
    std::unique_ptr<uint8_t, Release> block_;
    std::size_t size_;
    uint8_t* data_;
};

// CPU time consumed by the calling thread, in seconds.
double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Reading the thread's CPU clock is a system call, which costs microseconds on a virtual machine:
// as much as a small copy. So each iteration runs the work as many times as it takes to write
// about this many bytes (the counter "runs"; the table's times are per iteration, the ratios per
// run of the work).
constexpr std::size_t kBytesPerIteration = std::size_t{16} << 20;

// Times work (which writes bytes bytes) in thread CPU time.
template <class Work>
void TimeInThreadCpu(benchmark::State& state, std::size_t bytes, Work&& work) {
    const std::size_t runs = std::max<std::size_t>(1, kBytesPerIteration / bytes);
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        for (std::size_t run = 0; run < runs; ++run) work();
        state.SetIterationTime(ThreadCpuSeconds() - start);
    }
    state.counters["runs"] = static_cast<double>(runs);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * runs * bytes));
}

// Page offsets of a copy's source and of every destination (the export's and the copy's).
constexpr std::size_t kSourceOffset = 0;
constexpr std::size_t kDestinationOffset = 2048 + 64;

void Export(benchmark::State& state, int16_t colour) {
    const auto w = static_cast<int16_t>(state.range(0));
    const auto h = static_cast<int16_t>(state.range(1));
    PlacedBuffer out(Bytes(state, colour == 1), kDestinationOffset, 0);
    TimeInThreadCpu(state, out.size(), [&] {
        if (ZqExportImageData(1, out.data(), w, h, colour, 4) != 1) state.SkipWithError("export refused");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    });
}

void Memcpy(benchmark::State& state, bool fourBytes) {
    PlacedBuffer from(Bytes(state, fourBytes), kSourceOffset, 1);
    PlacedBuffer to(from.size(), kDestinationOffset, 0);
    TimeInThreadCpu(state, to.size(), [&] {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    });
}

// The adapter's 3-to-4-byte expansion alone, from a converted frame into the destination.
void Expand(benchmark::State& state) {
    const std::size_t pixels = Bytes(state, false);
    PlacedBuffer bgr(3 * pixels, kSourceOffset, 7);
    PlacedBuffer out(4 * pixels, kDestinationOffset, 0);
    TimeInThreadCpu(state, out.size(), [&] {
        korvex::pixels::ExpandBgr(bgr.data(), out.data(), pixels);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    });
}

void BM_ColourExport(benchmark::State& state) { Export(state, 1); }
void BM_ColourExpand(benchmark::State& state) { Expand(state); }
void BM_ColourMemcpy(benchmark::State& state) { Memcpy(state, true); }
void BM_MonoExport(benchmark::State& state) { Export(state, 0); }
void BM_MonoMemcpy(benchmark::State& state) { Memcpy(state, false); }

// The fastest of the repetitions is the one least disturbed by other work on a shared machine.
double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

void Sizes(benchmark::internal::Benchmark* b) {
    for (const auto& s : kSizes) b->Args({s[0], s[1]});
    b->ComputeStatistics("min", Fastest);
    b->UseManualTime();  // thread CPU time, from TimeInThreadCpu
    b->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_ColourExport)->Apply(Sizes);
BENCHMARK(BM_ColourExpand)->Apply(Sizes);
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

// Keeps each run's time per run of its work (thread CPU time where the run uses manual time),
// under its name without the "/manual_time" suffix, to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                times[PlainName(run.benchmark_name())] = TimePerRun(run);
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
                times[PlainName(run.run_name.str())] = TimePerRun(run);  // fastest of the repetitions
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                     times.count(PlainName(run.run_name.str())) == 0)
                times[PlainName(run.run_name.str())] = TimePerRun(run);  // median where no min is kept
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;

private:
    static double TimePerRun(const Run& run) {
        const auto runsPerIteration = run.counters.find("runs");
        const double divisor = runsPerIteration == run.counters.end() ? 1.0 : double(runsPerIteration->second);
        return run.GetAdjustedRealTime() / divisor;
    }

    static std::string PlainName(std::string name) {
        const std::string suffix = "/manual_time";
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            name.resize(name.size() - suffix.size());
        return name;
    }
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

    std::printf(
        "\nexport time / memcpy of the destination's bytes, thread CPU time (targets: mono <= 1.2; colour <= 8 up to "
        "1280x1024, <= 3 above)\n");
    for (const auto& s : kSizes) {
        const std::string args = "/" + std::to_string(s[0]) + "/" + std::to_string(s[1]);
        for (const char* kind : {"Colour", "Mono"}) {
            const double exportTime = reporter.times[std::string("BM_") + kind + "Export" + args];
            const double copyTime = reporter.times[std::string("BM_") + kind + "Memcpy" + args];
            if (copyTime > 0) std::printf("  %-6s %4dx%-4d  %6.2fx\n", kind, s[0], s[1], exportTime / copyTime);
        }
        const double expandTime = reporter.times["BM_ColourExpand" + args];
        const double colourCopy = reporter.times["BM_ColourMemcpy" + args];
        if (expandTime > 0 && colourCopy > 0)
            std::printf("  %-6s %4dx%-4d  %6.2fx  (3-to-4-byte expansion alone)\n", "Colour", s[0], s[1],
                        expandTime / colourCopy);
    }
    const double wake = reporter.times["BM_FrameWakeRoundTrip/real_time"];
    const double alone = reporter.times["BM_FrameDeliveryAlone/real_time"];
    const double cv = reporter.times["BM_ConditionVariableRoundTrip/real_time"];
    if (cv > 0) {
        std::printf(
            "wake-up round trip through a frame (less delivering the frame alone) / condition-variable "
            "round trip: (%.1f - %.1f) / %.1f us = %.2fx\n",
            wake, alone, cv, (wake - alone) / cv);
    }
    ZqStopGrab(2);
    ZqCloseDevice();
    std::remove((std::string(folder) + "/Korvex.ini").c_str());
    rmdir(folder);
    return 0;
}
