// korvex stream N [--seconds S]: continuous export with one updating progress line.
//
// The loop polls with a zero timeout, so each export that delivers a frame is timed without the
// wait for the camera: "export" below is the time ZqExportImageData takes for a frame that is ready.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "camera_session.h"
#include "capture_options.h"
#include "commands.h"
#include "exit_status.h"
#include "frame_export.h"
#include "korvex.h"
#include "latency_stats.h"

namespace korvex::cli {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;
constexpr auto kPollPause = std::chrono::microseconds(250);
constexpr auto kProgressEvery = std::chrono::milliseconds(500);

volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }

struct StreamOptions {
    CaptureOptions capture;
    std::optional<double> seconds;
};

struct StreamStats {
    long frames = 0;
    long timeouts = 0;
    std::vector<double> exportMs;
};

void PrintProgress(const StreamStats& stats, double fps) {
    std::printf("\rframes %ld  fps %.1f  timeouts %ld  export p50 %.2f ms  p99 %.2f ms   ", stats.frames, fps,
                stats.timeouts, Percentile(stats.exportMs, 50), Percentile(stats.exportMs, 99));
    std::fflush(stdout);
}

bool Finished(const StreamOptions& options, Clock::time_point start) {
    return interrupted != 0 || (options.seconds && Seconds(Clock::now() - start).count() >= *options.seconds);
}

StreamStats Stream(const StreamOptions& options, FrameSize size, bool colour) {
    const auto device = static_cast<int16_t>(options.capture.device);
    const auto timeout = std::chrono::milliseconds(options.capture.timeoutMs);
    std::vector<uint8_t> frame(size.Pixels() * 4);
    StreamStats stats;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastFrame = start, lastPrint = start;
    long framesAtLastPrint = 0;
    while (!Finished(options, start)) {
        const Clock::time_point before = Clock::now();
        const ExportResult result =
            ExportFrame(device, frame.data(), size.width, size.height, colour, options.capture.bayer);
        const Clock::time_point after = Clock::now();
        if (result == ExportResult::kFrame) {
            ++stats.frames;
            stats.exportMs.push_back(std::chrono::duration<double, std::milli>(after - before).count());
            lastFrame = after;
        } else {
            if (after - lastFrame >= timeout) {
                ++stats.timeouts;
                lastFrame = after;
            }
            std::this_thread::sleep_for(kPollPause);
        }
        if (after - lastPrint >= kProgressEvery) {
            PrintProgress(stats,
                          static_cast<double>(stats.frames - framesAtLastPrint) / Seconds(after - lastPrint).count());
            lastPrint = after;
            framesAtLastPrint = stats.frames;
        }
    }
    return stats;
}

void RunStream(const StreamOptions& options) {
    CheckCaptureOptions(options.capture);
    const auto device = static_cast<int16_t>(options.capture.device);
    RequireCamera(device);
    CameraSession session(device);
    const CameraIdentity id = ReadIdentity(device);
    const FrameSize size = ApplyCaptureOptions(options.capture);
    const bool colour = WantsColour(options.capture, KindOfModel(id.model));
    ZqSetTimeout(0);  // poll: see the note at the top
    session.StartCapture(device);
    std::printf("camera %d (%s): streaming %dx%d %s frames%s\n", device, id.model.c_str(), size.width, size.height,
                colour ? "colour" : "grey", options.seconds ? "" : " until Ctrl-C");
    std::signal(SIGINT, OnInterrupt);
    const Clock::time_point start = Clock::now();
    const StreamStats stats = Stream(options, size, colour);
    const double elapsed = Seconds(Clock::now() - start).count();
    PrintProgress(stats, static_cast<double>(stats.frames) / elapsed);
    std::printf("\nsummary: %ld frames in %.1f s, %.1f fps, %ld timeouts, export p50 %.2f ms, p99 %.2f ms\n",
                stats.frames, elapsed, static_cast<double>(stats.frames) / elapsed, stats.timeouts,
                Percentile(stats.exportMs, 50), Percentile(stats.exportMs, 99));
    if (stats.frames == 0) throw CliError(kExitCamera, "no frame from camera " + std::to_string(device));
}

}  // namespace

Command AddStreamCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "stream", "Export frames continuously; print frames, fps, timeouts and export time p50/p99");
    auto options = std::make_shared<StreamOptions>();
    AddCaptureOptions(*parser, options->capture);
    parser->add_option("--seconds", options->seconds, "How long to stream (default: until Ctrl-C)")
        ->check(CLI::Range(0.001, 1e6));
    return {parser, [options] { RunStream(*options); }};
}

}  // namespace korvex::cli
