#include "recording_writer.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

std::string RecordingText(const RecordingContent& content) {
    std::string text = "# recorded for a replay test\nformat=1\n";
    text += "model=" + content.model + "\n";
    text += "width=" + std::to_string(content.width) + "\nheight=" + std::to_string(content.height) + "\n";
    text += "bayer_layout=" + std::to_string(content.bayerLayout) + "\nexposure=default\n";
    text += "frames=" + std::to_string(content.frames.size()) + "\n";
    for (size_t i = 0; i < content.timestampsUs.size(); ++i) {
        text += "frame=" + std::to_string(i) + " " + std::to_string(content.timestampsUs[i]) + "\n";
    }
    return text;
}

bool WritePng(const std::filesystem::path& file, int32_t width, int32_t height, int32_t channels,
              const uint8_t* pixels) {
    return stbi_write_png(file.string().c_str(), width, height, channels, pixels, width * channels) != 0;
}

bool WriteRecording(const std::filesystem::path& folder, const RecordingContent& content) {
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < content.frames.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06zu.png", i);
        if (!WritePng(folder / name, content.width, content.height, 1, content.frames[i].data())) return false;
    }
    std::ofstream text(folder / "recording.txt", std::ios::binary);
    text << RecordingText(content);
    return static_cast<bool>(text);
}

TemporaryFolder::TemporaryFolder() {
    static std::atomic<int> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("hvsim-replay-" + std::to_string(ticks) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
