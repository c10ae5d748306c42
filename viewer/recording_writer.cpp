#include "recording_writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "png_writer.h"

namespace korvex::viewer {
namespace {

std::string FrameFileName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06u.png", static_cast<unsigned>(index));
    return name;
}

std::string Description(const RecordingInfo& info) {
    std::string text = "# Raw frames as the camera delivered them, one 8-bit grey PNG each (korvex-viewer)\n";
    text += "format=1\nmodel=" + info.model + "\nwidth=" + std::to_string(info.width) +
            "\nheight=" + std::to_string(info.height) + "\nbayer_layout=" + std::to_string(info.bayerLayout) +
            "\nexposure=default\nframes=" + std::to_string(info.timestampsUs.size()) + "\n";
    for (std::size_t k = 0; k < info.timestampsUs.size(); ++k) {
        text += "frame=" + std::to_string(k) + " " + std::to_string(info.timestampsUs[k]) + "\n";
    }
    return text;
}

}  // namespace

bool WriteRecording(const std::string& folder, const RecordingInfo& info, const uint8_t* frames) {
    const std::filesystem::path root(folder);
    std::error_code error;
    std::filesystem::create_directories(root, error);
    // An earlier recording's description must not describe the frames being replaced.
    std::filesystem::remove(root / "recording.txt", error);
    if (error) return false;
    const std::size_t frameBytes = static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height);
    for (std::size_t k = 0; k < info.timestampsUs.size(); ++k) {
        if (!WritePng((root / FrameFileName(k)).string(), frames + k * frameBytes, info.width, info.height, 1)) {
            return false;
        }
    }
    const std::filesystem::path partial = root / "recording.txt.partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << Description(info);
        if (!out) return false;
    }
    std::filesystem::rename(partial, root / "recording.txt", error);
    return !error;
}

}  // namespace korvex::viewer
