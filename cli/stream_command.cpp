// korvex stream N [--seconds S]: continuous export with progress lines and a summary.
//
// The loop polls with a zero timeout, so each export that delivers a frame is timed without the
// wait for the camera: "export" below is the time ZqExportImageData takes for a frame that is ready.
// A timeout is a wait of --timeout ms in which no new frame came; it counts failed waits, not lost
// frames (frames the camera made between two exports are skipped and not counted). After
// kStoppedAfter timeouts in a row the camera counts as stopped: the run ends with exit code 3.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture_setup.h"
#include "commands.h"
#include "exit_status.h"
#include "frame_export.h"
#include "interrupt.h"
#include "json_text.h"
#include "korvex.h"
#include "latency_stats.h"
#include "number_checks.h"
#include "platform.h"

namespace korvex::cli {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;
constexpr auto kPollPause = std::chrono::microseconds(250);
constexpr auto kRedrawEvery = std::chrono::milliseconds(500);  // on a terminal, one line redrawn
constexpr auto kLineEvery = std::chrono::seconds(1);           // into a pipe or file, one line each
constexpr long kStoppedAfter = 3;

struct StreamOptions {
    CaptureOptions capture;
    std::optional<double> seconds;
    bool json = false;
};

struct StreamStats {
    long frames = 0;
    long timeouts = 0;
    long timeoutsInARow = 0;
    std::vector<double> exportMs;
    bool Stopped() const { return timeoutsInARow >= kStoppedAfter; }
};

std::string ProgressText(const StreamStats& stats, double fps) {
    char text[160];
    std::snprintf(text, sizeof text, "frames %ld  fps %.1f  timeouts %ld  export p50 %.2f ms  p99 %.2f ms",
                  stats.frames, fps, stats.timeouts, Percentile(stats.exportMs, 50), Percentile(stats.exportMs, 99));
    return text;
}

// Progress on a terminal redraws one line; elsewhere it adds a line a second. None with --json.
class Progress {
public:
    explicit Progress(bool json) : shown_(!json), redraw_(StandardOutputIsTerminal()) {}
    void Update(const StreamStats& stats, Clock::time_point now) {
        if (!shown_ || now - last_ < (redraw_ ? Clock::duration(kRedrawEvery) : Clock::duration(kLineEvery))) return;
        Print(stats, static_cast<double>(stats.frames - framesAtLast_) / Seconds(now - last_).count());
        last_ = now;
        framesAtLast_ = stats.frames;
    }
    // The redrawn line ends with the whole run's numbers; lines already printed stay as they are.
    void Finish(const StreamStats& stats, double fps) {
        if (!shown_ || !redraw_) return;
        Print(stats, fps);
        std::printf("\n");
    }

private:
    void Print(const StreamStats& stats, double fps) {
        std::printf(redraw_ ? "\r%s   " : "%s\n", ProgressText(stats, fps).c_str());
        std::fflush(stdout);
    }
    bool shown_, redraw_;
    Clock::time_point last_ = Clock::now();
    long framesAtLast_ = 0;
};

bool Finished(const StreamOptions& options, const StreamStats& stats, Clock::time_point start) {
    return Interrupted() || stats.Stopped() ||
           (options.seconds && Seconds(Clock::now() - start).count() >= *options.seconds);
}

StreamStats Stream(const StreamOptions& options, const PreparedCamera& camera) {
    const auto timeout = std::chrono::milliseconds(options.capture.timeoutMs);
    std::vector<uint8_t> frame(camera.size.Pixels() * 4);
    StreamStats stats;
    Progress progress(options.json);
    const Clock::time_point start = Clock::now();
    Clock::time_point lastFrame = start;
    while (!Finished(options, stats, start)) {
        const Clock::time_point before = Clock::now();
        const ExportResult result = ExportFrame(camera.device, frame.data(), camera.size.width, camera.size.height,
                                                camera.colour, options.capture.bayer);
        const Clock::time_point after = Clock::now();
        if (result == ExportResult::kFrame) {
            ++stats.frames;
            stats.timeoutsInARow = 0;
            stats.exportMs.push_back(std::chrono::duration<double, std::milli>(after - before).count());
            lastFrame = after;
        } else {
            if (after - lastFrame >= timeout) {
                ++stats.timeouts;
                ++stats.timeoutsInARow;
                lastFrame = after;
            }
            std::this_thread::sleep_for(kPollPause);
        }
        progress.Update(stats, after);
    }
    progress.Finish(stats, static_cast<double>(stats.frames) / Seconds(Clock::now() - start).count());
    return stats;
}

void PrintSummary(const StreamOptions& options, const PreparedCamera& camera, const StreamStats& stats,
                  double elapsed) {
    const double fps = static_cast<double>(stats.frames) / elapsed;
    const double p50 = Percentile(stats.exportMs, 50), p99 = Percentile(stats.exportMs, 99);
    if (!options.json) {
        std::printf(
            "summary: %ld frames in %.1f s, %.1f fps, %ld timeouts (waits of %d ms without a new frame), "
            "export p50 %.2f ms, p99 %.2f ms\n",
            stats.frames, elapsed, fps, stats.timeouts, options.capture.timeoutMs, p50, p99);
        return;
    }
    std::printf("%s\n", JsonObject()
                            .Number("camera", camera.device)
                            .Text("model", camera.identity.model)
                            .Number("width", camera.size.width)
                            .Number("height", camera.size.height)
                            .Text("kind", camera.colour ? "colour" : "grey")
                            .Number("frames", static_cast<double>(stats.frames))
                            .Number("seconds", elapsed)
                            .Number("fps", fps)
                            .Number("timeouts", static_cast<double>(stats.timeouts))
                            .Number("timeout_ms", options.capture.timeoutMs)
                            .Number("export_p50_ms", p50)
                            .Number("export_p99_ms", p99)
                            .Raw("stopped_delivering", stats.Stopped() ? "true" : "false")
                            .Json()
                            .c_str());
}

void RunStream(const StreamOptions& options) {
    PreparedCamera camera(options.capture);
    ZqSetTimeout(0);  // poll: see the note at the top
    camera.Start();
    // With --json, standard output carries the JSON summary alone.
    std::fprintf(options.json ? stderr : stdout,
                 "camera %d (%s): streaming %dx%d %s frames%s; counting frames exported and timeouts (waits of %d "
                 "ms without a new frame, not lost frames)\n",
                 camera.device, camera.identity.model.c_str(), camera.size.width, camera.size.height,
                 camera.colour ? "colour" : "grey", options.seconds ? "" : " until Ctrl-C", options.capture.timeoutMs);
    std::fflush(options.json ? stderr : stdout);
    CatchInterrupt();
    const Clock::time_point start = Clock::now();
    const StreamStats stats = Stream(options, camera);
    PrintSummary(options, camera, stats, Seconds(Clock::now() - start).count());
    const std::string name = "camera " + std::to_string(camera.device);
    if (stats.Stopped()) {
        throw CliError(kExitCamera, name + " stopped delivering frames: " + std::to_string(kStoppedAfter) +
                                        " waits of " + std::to_string(options.capture.timeoutMs) +
                                        " ms in a row without one. Rerun with --log debug (or KORVEX_LOG=debug) "
                                        "to see the camera calls");
    }
    if (stats.frames == 0) throw CliError(kExitCamera, "no frame from " + name);
}

}  // namespace

Command AddStreamCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "stream",
        "Export frames continuously; print frames, fps, timeouts (waits of --timeout ms without a new frame, not lost "
        "frames) and export time p50/p99. Exits 3 when the camera stops delivering: 3 timeouts in a row");
    auto options = std::make_shared<StreamOptions>();
    AddCaptureOptions(*parser, options->capture);
    parser->add_option("--seconds", options->seconds, "How long to stream, 0.001..1e6 (default: until Ctrl-C)")
        ->check(FiniteIn(0.001, 1e6));
    parser->add_flag("--json", options->json, "Print the summary as one JSON object (and no progress lines)");
    return {parser, [options] { RunStream(*options); }};
}

}  // namespace korvex::cli
