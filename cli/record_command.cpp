// korvex record N --frames K -o DIR: K raw frames and their timing, for replay as a camera.
//
// The frames are held in memory while they are captured and written afterwards, so that the
// time spent compressing PNG files neither drops frames nor shifts the recorded timestamps.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "camera_session.h"
#include "capture_options.h"
#include "commands.h"
#include "exit_status.h"
#include "frame_export.h"
#include "recording_writer.h"

namespace korvex::cli {
namespace {

struct RecordOptions {
    CaptureOptions capture;
    int frames = 0;
    std::string folder;
};

void CreateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw CliError(kExitIo, "cannot create " + folder.string() + ": " + error.message());
}

std::vector<uint8_t> FrameStore(const RecordOptions& options, FrameSize size) {
    try {
        return std::vector<uint8_t>(size.Pixels() * static_cast<std::size_t>(options.frames));
    } catch (const std::bad_alloc&) {
        throw CliError(kExitUsage, "--frames: not enough memory for " + std::to_string(options.frames) + " frames of " +
                                       std::to_string(size.width) + "x" + std::to_string(size.height));
    }
}

// Raw frames: a grey export hands over the camera's bytes unconverted, mosaic included.
std::vector<int64_t> Capture(const RecordOptions& options, FrameSize size, uint8_t* frames) {
    const auto device = static_cast<int16_t>(options.capture.device);
    std::vector<int64_t> timestampsUs;
    std::chrono::steady_clock::time_point first;
    for (int k = 0; k < options.frames; ++k) {
        uint8_t* frame = frames + size.Pixels() * static_cast<std::size_t>(k);
        ExportFrameOrThrow(device, frame, size.width, size.height, false, 1, options.capture.timeoutMs);
        const auto now = std::chrono::steady_clock::now();
        if (k == 0) first = now;
        timestampsUs.push_back(std::chrono::duration_cast<std::chrono::microseconds>(now - first).count());
    }
    return timestampsUs;
}

void RunRecord(const RecordOptions& options) {
    CheckCaptureOptions(options.capture);
    const auto device = static_cast<int16_t>(options.capture.device);
    RequireCamera(device);
    CreateFolder(options.folder);
    CameraSession session(device);
    RecordingInfo info;
    info.model = ReadIdentity(device).model;
    const FrameSize size = ApplyCaptureOptions(options.capture);
    info.width = size.width;
    info.height = size.height;
    info.bayerLayout = WantsColour(options.capture, KindOfModel(info.model)) ? options.capture.bayer : 0;
    if (options.capture.exposure) info.exposure = ExposureText(*options.capture.exposure);
    std::vector<uint8_t> frames = FrameStore(options, size);
    session.StartCapture(device);
    info.timestampsUs = Capture(options, size, frames.data());
    WriteRecording(options.folder, info, frames.data());
    std::printf("camera %d (%s): %d frames of %dx%d recorded in %s\n", device, info.model.c_str(), options.frames,
                size.width, size.height, options.folder.c_str());
}

}  // namespace

Command AddRecordCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "record", "Record raw frames as grey PNG files and recording.txt (model, size, layout, timestamps)");
    auto options = std::make_shared<RecordOptions>();
    AddCaptureOptions(*parser, options->capture);
    parser->add_option("--frames", options->frames, "Number of frames, 1..100000")
        ->required()
        ->check(CLI::Range(1, 100000));
    parser->add_option("-o,--output", options->folder, "Folder to record into (created when missing)")->required();
    return {parser, [options] { RunRecord(*options); }};
}

}  // namespace korvex::cli
