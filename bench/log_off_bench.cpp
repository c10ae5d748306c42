// What a diagnostic log line costs when its level is off, against a loop that does the same
// without it; and, for scale, what a written line costs (trace into /dev/null).
//
// A disabled KX_LOG is one relaxed atomic load and a branch that is never taken; its arguments
// are not evaluated (the summary shows how often they were).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cpu_time_reporter.h"
#include "diagnostics/log.h"

namespace {

using korvex::diagnostics::ConfigureLog;
using korvex::diagnostics::Domain;
using korvex::diagnostics::Level;

long long argumentsEvaluated = 0;

long long Evaluate(long long frame) {
    ++argumentsEvaluated;
    return frame;
}

// The loop without a log line: the counter kept in memory as in the others.
void BM_EmptyLoop(benchmark::State& state) {
    long long frame = 0;
    for (auto _ : state) {
        ++frame;
        benchmark::DoNotOptimize(frame);
    }
}

// The same loop with a line that the level does not show.
void BM_LogOff(benchmark::State& state) {
    ConfigureLog(nullptr, nullptr);
    long long frame = 0;
    for (auto _ : state) {
        ++frame;
        KX_LOG(Domain::Capture, Level::Trace, 1, "frame %lld arrived", Evaluate(frame));
        benchmark::DoNotOptimize(frame);
    }
}

// A line written: formatted on the stack and handed to write().
void BM_LogWritten(benchmark::State& state) {
    ConfigureLog("capture:trace", "/dev/null");
    long long frame = 0;
    for (auto _ : state) {
        ++frame;
        KX_LOG(Domain::Capture, Level::Trace, 1, "frame %lld arrived", frame);
        benchmark::DoNotOptimize(frame);
    }
    ConfigureLog(nullptr, nullptr);
}

// Console output as usual, plus each run's CPU time per iteration for the summary.
class SummaryReporter : public CpuTimeReporter {
public:
    void PrintSummary() const {
        const double empty = TimeOf("BM_EmptyLoop");
        const double off = TimeOf("BM_LogOff");
        const double written = TimeOf("BM_LogWritten");
        if (empty <= 0.0) return;
        std::printf("\nlog off:  %.2fx the empty loop (%+.2f ns a line); arguments evaluated %lld times\n", off / empty,
                    off - empty, argumentsEvaluated);
        std::printf("log on:   %.0f ns a line written to /dev/null\n", written - empty);
    }
};

}  // namespace

BENCHMARK(BM_EmptyLoop);
BENCHMARK(BM_LogOff);
BENCHMARK(BM_LogWritten);

int main(int argc, char** argv) { return RunWithSummary<SummaryReporter>(argc, argv); }
