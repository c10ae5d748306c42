// korvex record N --frames K -o DIR: K raw frames and their timing, for replay as a camera.
//
// The frames are held in memory while they are captured and written afterwards, so that the
// time spent compressing PNG files neither drops frames nor shifts the recorded timestamps. They
// are written into a folder of this run's own beside DIR that is renamed to DIR once complete
// (recording_destination.h): a run that is interrupted or fails leaves DIR as it was, never
// half-written. The first Ctrl-C ends capture and records the frames taken so far; a second one
// abandons the recording (exit 130).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "capture_setup.h"
#include "commands.h"
#include "exit_status.h"
#include "number_checks.h"
#include "frame_export.h"
#include "interrupt.h"
#include "recording_destination.h"
#include "recording_writer.h"

namespace korvex::cli {
namespace {

namespace fs = std::filesystem;

struct RecordOptions {
    CaptureOptions capture;
    int frames = 0;
    std::string folder;
};

std::vector<uint8_t> FrameStore(const RecordOptions& options, FrameSize size) {
    try {
        return std::vector<uint8_t>(size.Pixels() * static_cast<std::size_t>(options.frames));
    } catch (const std::bad_alloc&) {
        throw CliError(kExitUsage, "--frames: not enough memory for " + std::to_string(options.frames) + " frames of " +
                                       std::to_string(size.width) + "x" + std::to_string(size.height));
    }
}

[[noreturn]] void ThrowInterrupted(const fs::path& destination, const std::string& what) {
    throw CliError(kExitInterrupted, "interrupted: " + what + ", " + destination.string() + " left as it was");
}

// Raw frames: a grey export hands over the camera's bytes unconverted, mosaic included. Capture
// ends early at the first Ctrl-C; the frames taken until then are kept. The camera is closed on
// return.
RecordingInfo Capture(const RecordOptions& options, std::vector<uint8_t>& frames) {
    PreparedCamera camera(options.capture);
    RecordingInfo info;
    info.model = camera.identity.model;
    info.width = camera.size.width;
    info.height = camera.size.height;
    info.bayerLayout = camera.colour ? options.capture.bayer : 0;
    if (options.capture.exposure) info.exposure = ExposureText(*options.capture.exposure);
    frames = FrameStore(options, camera.size);
    camera.Start();
    std::chrono::steady_clock::time_point first;
    for (int k = 0; k < options.frames && !Interrupted(); ++k) {
        uint8_t* frame = frames.data() + camera.size.Pixels() * static_cast<std::size_t>(k);
        ExportFrameOrThrow(camera.device, frame, camera.size.width, camera.size.height, false, 1,
                           options.capture.timeoutMs);
        const auto now = std::chrono::steady_clock::now();
        if (k == 0) {
            first = now;
            std::printf(
                "camera %d (%s): recording %d frames of %dx%d; Ctrl-C ends capture and keeps the frames taken\n",
                camera.device, info.model.c_str(), options.frames, info.width, info.height);
            std::fflush(stdout);
        }
        info.timestampsUs.push_back(std::chrono::duration_cast<std::chrono::microseconds>(now - first).count());
    }
    return info;
}

// Asked before each file is written: the first Ctrl-C then is told it changes nothing, the second
// abandons the recording.
bool AbandonRequested() {
    static bool told = false;
    if (Interrupted() && !told) {
        std::fprintf(stderr, "korvex: Ctrl-C: the recording is being written; Ctrl-C again abandons it\n");
        told = true;
    }
    return InterruptedTwice();
}

void RunRecord(const RecordOptions& options) {
    RecordingDestination destination(options.folder);
    CatchInterrupt();
    std::vector<uint8_t> frames;
    const RecordingInfo info = Capture(options, frames);
    const auto taken = static_cast<int>(info.timestampsUs.size());
    if (taken == 0) ThrowInterrupted(destination.Destination(), "nothing recorded");
    const bool cut = taken < options.frames;
    std::printf("camera %d (%s): writing %d frames of %dx%d%s\n", options.capture.device, info.model.c_str(), taken,
                info.width, info.height, cut ? " (capture ended by Ctrl-C; Ctrl-C again abandons them)" : "");
    std::fflush(stdout);
    if (!WriteRecordingOrThrow(destination.PartialFolder(), info, frames.data(), AbandonRequested))
        ThrowInterrupted(destination.Destination(), "recording abandoned");
    destination.MoveIntoPlace();
    const std::string count = cut ? std::to_string(taken) + " of " + std::to_string(options.frames) + " frames"
                                  : std::to_string(taken) + " frames";
    std::printf("camera %d (%s): %s of %dx%d recorded in %s\n", options.capture.device, info.model.c_str(),
                count.c_str(), info.width, info.height, destination.Destination().string().c_str());
}

}  // namespace

Command AddRecordCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "record", "Record raw frames as grey PNG files and recording.txt (model, size, layout, timestamps)");
    auto options = std::make_shared<RecordOptions>();
    AddCaptureOptions(*parser, options->capture);
    parser->add_option("--frames", options->frames, "Number of frames, 1..100000")
        ->required()
        ->check(WholeIn(1, 100000));
    parser
        ->add_option("-o,--output", options->folder,
                     "Folder to record into; an earlier recording there is replaced once the new one is complete. "
                     "Ctrl-C ends capture early and records the frames taken; a second Ctrl-C abandons them")
        ->required();
    return {parser, [options] { RunRecord(*options); }};
}

}  // namespace korvex::cli
