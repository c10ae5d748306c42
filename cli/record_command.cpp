// korvex record N --frames K -o DIR: K raw frames and their timing, for replay as a camera.
//
// The frames are held in memory while they are captured and written afterwards, so that the
// time spent compressing PNG files neither drops frames nor shifts the recorded timestamps. They
// are written into a folder beside DIR that is renamed to DIR once complete: a run that is
// interrupted or fails leaves DIR as it was (or, killed between the two renames of a replacement,
// absent), never half-written. Ctrl-C stops capture, closes the cameras and exits 130.
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
#include "frame_export.h"
#include "interrupt.h"
#include "recording_writer.h"

namespace korvex::cli {
namespace {

namespace fs = std::filesystem;

struct RecordOptions {
    CaptureOptions capture;
    int frames = 0;
    std::string folder;
};

// A folder beside the destination, named after it, that holds a recording until it is complete;
// removed unless moved into place. A folder of that name left by a killed run is removed first.
class PartialFolder {
public:
    explicit PartialFolder(const fs::path& destination)
        : destination_(destination), path_(Sibling(destination, ".korvex-partial")) {
        std::error_code error;
        fs::remove_all(path_, error);
        fs::create_directories(path_, error);
        if (error) throw CliError(kExitIo, "cannot create " + path_.string() + ": " + error.message());
    }
    ~PartialFolder() {
        std::error_code ignored;
        if (!moved_) fs::remove_all(path_, ignored);
    }
    PartialFolder(const PartialFolder&) = delete;
    PartialFolder& operator=(const PartialFolder&) = delete;

    const fs::path& Path() const { return path_; }
    void MoveIntoPlace();

private:
    static fs::path Sibling(const fs::path& destination, const char* suffix) {
        return destination.parent_path() / ("." + destination.filename().string() + suffix);
    }
    fs::path destination_, path_;
    bool moved_ = false;
};

void PartialFolder::MoveIntoPlace() {
    std::error_code error;
    const fs::path old = Sibling(destination_, ".korvex-old");
    if (fs::exists(destination_, error)) {
        fs::remove_all(old, error);
        fs::rename(destination_, old, error);
        if (error) throw CliError(kExitIo, "cannot replace " + destination_.string() + ": " + error.message());
    }
    fs::rename(path_, destination_, error);
    if (error)
        throw CliError(kExitIo, "cannot move the recording to " + destination_.string() + ": " + error.message());
    moved_ = true;
    fs::remove_all(old, error);
}

// The destination without a trailing separator, refused when replacing it would lose other files.
fs::path CheckedDestination(const std::string& folder) {
    std::error_code error;
    fs::path destination = fs::absolute(folder, error).lexically_normal();  // "." and ".." named too
    if (!destination.has_filename()) destination = destination.parent_path();
    if (fs::exists(destination, error) && !(fs::is_directory(destination, error) && HoldsOnlyRecording(destination))) {
        throw CliError(kExitIo, "will not replace " + destination.string() +
                                    ": it is not a folder holding only a recording (recording.txt, frame-*.png)");
    }
    return destination;
}

std::vector<uint8_t> FrameStore(const RecordOptions& options, FrameSize size) {
    try {
        return std::vector<uint8_t>(size.Pixels() * static_cast<std::size_t>(options.frames));
    } catch (const std::bad_alloc&) {
        throw CliError(kExitUsage, "--frames: not enough memory for " + std::to_string(options.frames) + " frames of " +
                                       std::to_string(size.width) + "x" + std::to_string(size.height));
    }
}

[[noreturn]] void ThrowInterrupted(const fs::path& destination) {
    throw CliError(kExitInterrupted, "interrupted: nothing recorded, " + destination.string() + " left as it was");
}

// Raw frames: a grey export hands over the camera's bytes unconverted, mosaic included. The
// camera is closed on return.
RecordingInfo Capture(const RecordOptions& options, const fs::path& destination, std::vector<uint8_t>& frames) {
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
    for (int k = 0; k < options.frames; ++k) {
        if (Interrupted()) ThrowInterrupted(destination);
        uint8_t* frame = frames.data() + camera.size.Pixels() * static_cast<std::size_t>(k);
        ExportFrameOrThrow(camera.device, frame, camera.size.width, camera.size.height, false, 1,
                           options.capture.timeoutMs);
        const auto now = std::chrono::steady_clock::now();
        if (k == 0) first = now;
        info.timestampsUs.push_back(std::chrono::duration_cast<std::chrono::microseconds>(now - first).count());
    }
    return info;
}

void RunRecord(const RecordOptions& options) {
    const fs::path destination = CheckedDestination(options.folder);
    PartialFolder partial(destination);
    CatchInterrupt();
    std::vector<uint8_t> frames;
    const RecordingInfo info = Capture(options, destination, frames);
    std::printf("camera %d (%s): writing %d frames of %dx%d\n", options.capture.device, info.model.c_str(),
                options.frames, info.width, info.height);
    std::fflush(stdout);
    if (!WriteRecordingOrThrow(partial.Path(), info, frames.data(), Interrupted)) ThrowInterrupted(destination);
    partial.MoveIntoPlace();
    std::printf("camera %d (%s): %d frames of %dx%d recorded in %s\n", options.capture.device, info.model.c_str(),
                options.frames, info.width, info.height, destination.string().c_str());
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
    parser
        ->add_option("-o,--output", options->folder,
                     "Folder to record into; an earlier recording there is replaced once the new one is complete")
        ->required();
    return {parser, [options] { RunRecord(*options); }};
}

}  // namespace korvex::cli
