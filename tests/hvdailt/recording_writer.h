// Writes recording folders for the replay tests, as `korvex record` does: each raw frame as an
// 8-bit grey PNG (frame-000000.png, ...) and recording.txt.
#ifndef HVSIM_TESTS_RECORDING_WRITER_H
#define HVSIM_TESTS_RECORDING_WRITER_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct RecordingContent {
    std::string model = "HV1300UC";
    int32_t width = 0, height = 0;
    int32_t bayerLayout = 1;
    std::vector<std::vector<uint8_t>> frames;  // width x height bytes each
    std::vector<int64_t> timestampsUs;         // one per frame
};

// recording.txt's text for the content.
std::string RecordingText(const RecordingContent& content);

// Writes the frames and recording.txt into folder (created when missing). False on an I/O error.
bool WriteRecording(const std::filesystem::path& folder, const RecordingContent& content);

// Writes pixels (channels bytes each) as a PNG file.
bool WritePng(const std::filesystem::path& file, int32_t width, int32_t height, int32_t channels,
              const uint8_t* pixels);

// A folder under the system's temporary folder that is removed with this object.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

#endif
