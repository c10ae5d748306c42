#include "recording_writer.h"

#include <cstdio>
#include <fstream>

#include "exit_status.h"
#include "image_file.h"

namespace korvex::cli {
namespace {

std::string FrameFileName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06u.png", static_cast<unsigned>(index));
    return name;
}

std::string Description(const RecordingInfo& info) {
    std::string text = "# Raw frames as the camera delivered them, one 8-bit grey PNG each\n";
    text += "format=1\nmodel=" + info.model + "\nwidth=" + std::to_string(info.width) +
            "\nheight=" + std::to_string(info.height) + "\nbayer_layout=" + std::to_string(info.bayerLayout) +
            "\nexposure=" + info.exposure + "\nframes=" + std::to_string(info.timestampsUs.size()) + "\n";
    for (std::size_t k = 0; k < info.timestampsUs.size(); ++k) {
        text += "frame=" + std::to_string(k) + " " + std::to_string(info.timestampsUs[k]) + "\n";
    }
    return text;
}

void WriteDescription(const std::filesystem::path& folder, const RecordingInfo& info) {
    const std::filesystem::path file = folder / "recording.txt";
    const std::filesystem::path partial = folder / "recording.txt.partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << Description(info);
        out.close();
        if (!out) throw CliError(kExitIo, "cannot write " + partial.string());
    }
    std::error_code error;
    std::filesystem::rename(partial, file, error);
    if (error) throw CliError(kExitIo, "cannot write " + file.string() + ": " + error.message());
}

}  // namespace

bool WriteRecording(const std::filesystem::path& folder, const RecordingInfo& info, const uint8_t* frames,
                    const std::function<bool()>& stopRequested) {
    const std::size_t frameBytes = static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height);
    for (std::size_t k = 0; k < info.timestampsUs.size(); ++k) {
        if (stopRequested()) return false;
        const std::filesystem::path file = folder / FrameFileName(k);
        if (!image::Write(file.string(), image::Format::kPng, frames + k * frameBytes, info.width, info.height, 1)) {
            throw CliError(kExitIo, "cannot write " + file.string());
        }
    }
    if (stopRequested()) return false;
    WriteDescription(folder, info);
    return true;
}

bool HoldsOnlyRecording(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const bool frame = name.rfind("frame-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".png";
        if (!frame && name != "recording.txt" && name != "recording.txt.partial") return false;
    }
    return !error;
}

}  // namespace korvex::cli
