#include "recording_file.h"

#include <cstdio>

#include "image_file.h"
#include "replacing_file.h"

namespace korvex::image {
namespace {

std::string FrameFileName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06u.png", static_cast<unsigned>(index));
    return name;
}

std::string Description(const RecordingInfo& info) {
    std::string text = "# Raw frames as the camera delivered them, one 8-bit grey PNG each";
    text += info.writer.empty() ? "\n" : " (" + info.writer + ")\n";
    text += "format=1\nmodel=" + info.model + "\nwidth=" + std::to_string(info.width) +
            "\nheight=" + std::to_string(info.height) + "\nbayer_layout=" + std::to_string(info.bayerLayout) +
            "\nexposure=" + info.exposure + "\nframes=" + std::to_string(info.timestampsUs.size()) + "\n";
    text += "# frame=<index> <time since frame 0 in microseconds>\n";
    for (std::size_t k = 0; k < info.timestampsUs.size(); ++k) {
        text += "frame=" + std::to_string(k) + " " + std::to_string(info.timestampsUs[k]) + "\n";
    }
    return text;
}

RecordingOutcome Failed(const std::filesystem::path& file, const std::error_code& error = {}) {
    return {RecordingResult::kFailed, file, error ? error.message() : std::string()};
}

RecordingOutcome PrepareFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return Failed(folder, error);
    const std::filesystem::path stale = folder / "recording.txt";
    std::filesystem::remove(stale, error);
    if (error) return Failed(stale, error);
    return {};
}

RecordingOutcome WriteDescription(const std::filesystem::path& folder, const RecordingInfo& info) {
    const std::filesystem::path file = folder / "recording.txt";
    const std::string text = Description(info);
    ReplacingFile out(file);
    out.Write(text.data(), text.size());
    const WriteResult result = out.Commit();
    if (!result.written) return {RecordingResult::kFailed, file, result.reason};
    return {};
}

bool Stop(const std::function<bool()>& stopRequested) { return stopRequested && stopRequested(); }

}  // namespace

RecordingOutcome WriteRecording(const std::filesystem::path& folder, const RecordingInfo& info, const uint8_t* frames,
                                const std::function<bool()>& stopRequested) {
    const RecordingOutcome prepared = PrepareFolder(folder);
    if (prepared.result != RecordingResult::kWritten) return prepared;
    const std::size_t frameBytes = static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height);
    for (std::size_t k = 0; k < info.timestampsUs.size(); ++k) {
        if (Stop(stopRequested)) return {RecordingResult::kStopped, {}, {}};
        const std::filesystem::path file = folder / FrameFileName(k);
        const WriteResult result =
            WriteImage(file.string(), Format::kPng, frames + k * frameBytes, info.width, info.height, 1);
        if (!result.written) return {RecordingResult::kFailed, file, result.reason};
    }
    if (Stop(stopRequested)) return {RecordingResult::kStopped, {}, {}};
    return WriteDescription(folder, info);
}

}  // namespace korvex::image
