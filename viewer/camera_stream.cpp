#include "camera_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "korvex.h"
#include "saved_files.h"

namespace korvex::viewer {
namespace {

using Clock = StreamStats::Clock;
constexpr auto kPollPause = std::chrono::microseconds(500);
constexpr auto kPausedPause = std::chrono::milliseconds(5);
constexpr std::size_t kMaxRecordedFrames = 300;

void ExpandGrey(const uint8_t* grey, std::size_t pixels, uint8_t* bgrx) {
    for (std::size_t p = 0; p < pixels; ++p) {
        bgrx[4 * p] = bgrx[4 * p + 1] = bgrx[4 * p + 2] = grey[p];
        bgrx[4 * p + 3] = 255;
    }
}

SaveOutcome SaveRecording(const std::string& folder, int device, const image::RecordingInfo& info,
                          const std::vector<uint8_t>& frames) {
    const std::string stem = "korvex-" + std::to_string(device) + "-recording-";
    return SaveUnderNewName(folder, stem, "", [&](const std::filesystem::path& partial) {
        const image::RecordingOutcome outcome = image::WriteRecording(partial, info, frames.data());
        if (outcome.result == image::RecordingResult::kWritten) return std::string();
        return "cannot write " + outcome.failedFile.filename().string() +
               (outcome.reason.empty() ? std::string() : ": " + outcome.reason);
    });
}

std::string Outcome(const char* what, int16_t result) {
    return std::string(what) + (result == 1 ? "" : " failed (result " + std::to_string(result) + ")");
}

}  // namespace

CameraStream::CameraStream(const CameraInfo& camera, ExportShape shape, std::function<void()> frameReady)
    : camera_(camera), frameReady_(std::move(frameReady)), shape_(shape) {
    thread_ = std::thread([this] { Run(); });
}

CameraStream::~CameraStream() { Stop(); }

bool CameraStream::Stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    return !saveFailed_;
}

void CameraStream::Post(std::function<std::string()> command) {
    std::lock_guard lock(mutex_);
    commands_.push_back(std::move(command));
}

bool CameraStream::TakeNewFrame(DisplayFrame& frame) {
    std::lock_guard lock(mutex_);
    if (!fresh_) return false;
    std::swap(frame, latest_);
    fresh_ = false;
    return true;
}

StatsSummary CameraStream::Stats() const {
    std::lock_guard lock(mutex_);
    return stats_.Summary(Clock::now());
}

std::string CameraStream::LastResult() const {
    std::lock_guard lock(mutex_);
    return lastResult_;
}

void CameraStream::SetResult(std::string text) {
    std::lock_guard lock(mutex_);
    lastResult_ = std::move(text);
}

void CameraStream::StartRecording(const std::string& folder, int bayerLayout) {
    if (recording_) return;
    recording_ = true;
    Post([this, folder, bayerLayout] {
        if (shape_.crossHair) {
            recording_ = false;
            return std::string("not recording: switch the cross-hair off first, it would be drawn into the frames");
        }
        RecordingState recording;
        recording.outputFolder = folder;
        recording.info.model = camera_.model;
        recording.info.writer = "korvex-viewer";
        recording.info.width = shape_.size.width;
        recording.info.height = shape_.size.height;
        recording.info.bayerLayout = camera_.colourSensor ? bayerLayout : 0;
        recordingState_ = std::move(recording);
        return "recording: up to " + std::to_string(kMaxRecordedFrames) + " raw frames, written at the stop";
    });
}

void CameraStream::StopRecording() {
    Post([this] {
        if (!recordingState_) return std::string("not recording");
        const std::string result = FinishRecording();
        recording_ = false;
        return result;
    });
}

void CameraStream::Run() {
    const auto device = static_cast<int16_t>(camera_.device);
    SetResult(Outcome("capture started", ZqStartGrab(device)));
    while (!stopping_) {
        RunCommands();
        if (paused_) {
            std::this_thread::sleep_for(kPausedPause);
            continue;
        }
        ExportOnce();
    }
    if (recordingState_) FinishRecording();
    ZqStopGrab(device);
}

// Writes the recording and prints the result: on standard output when written, on standard
// error when not.
std::string CameraStream::FinishRecording() {
    RecordingState recording = std::move(*recordingState_);
    recordingState_.reset();
    const std::size_t frames = recording.info.timestampsUs.size();
    if (frames == 0) {
        const std::string result = "recording not written: no frame came while recording";
        std::fprintf(stderr, "korvex-viewer: camera %d: %s\n", camera_.device, result.c_str());
        return result;
    }
    const SaveOutcome saved = SaveRecording(recording.outputFolder, camera_.device, recording.info, recording.frames);
    const std::string result = saved.written ? std::to_string(frames) + " frames recorded in " + saved.path.string()
                                             : Describe(saved, "recording");
    if (!saved.written) saveFailed_ = true;
    std::fprintf(saved.written ? stdout : stderr, "%scamera %d: %s\n",
                 saved.written ? "" : "korvex-viewer: ", camera_.device, result.c_str());
    std::fflush(stdout);
    return result;
}

void CameraStream::RunCommands() {
    std::vector<std::function<std::string()>> commands;
    {
        std::lock_guard lock(mutex_);
        commands.swap(commands_);
    }
    for (auto& command : commands) SetResult(command());
}

void CameraStream::ExportOnce() {
    const ExportShape shape = shape_;
    const bool raw = recordingState_.has_value();
    const bool colour = shape.colour && !raw;
    const bool fourBytes = colour || shape.crossHair;
    const std::size_t pixels = static_cast<std::size_t>(shape.size.width) * static_cast<std::size_t>(shape.size.height);
    exported_.resize(pixels * 4);
    const auto before = Clock::now();
    const int16_t result = ZqExportImageData(
        static_cast<int16_t>(camera_.device), exported_.data(), static_cast<int16_t>(shape.size.width),
        static_cast<int16_t>(shape.size.height), colour ? 1 : 0, static_cast<int16_t>(shape.layout));
    const auto after = Clock::now();
    if (result == 1) {
        {
            std::lock_guard lock(mutex_);
            stats_.AddFrame(after, std::chrono::duration<double, std::milli>(after - before).count());
        }
        if (raw) KeepRaw(shape, after);
        Publish(shape, fourBytes, raw);
        return;
    }
    if (result == -1) {
        std::lock_guard lock(mutex_);
        stats_.AddMiss(after);
    } else {
        SetResult(Outcome("frame export", result));
    }
    std::this_thread::sleep_for(kPollPause);
}

void CameraStream::KeepRaw(const ExportShape& shape, Clock::time_point at) {
    RecordingState& recording = *recordingState_;
    if (recording.info.timestampsUs.size() >= kMaxRecordedFrames) return;
    if (recording.info.timestampsUs.empty()) recording.first = at;
    const std::size_t pixels = static_cast<std::size_t>(shape.size.width) * static_cast<std::size_t>(shape.size.height);
    recording.frames.insert(recording.frames.end(), exported_.begin(),
                            exported_.begin() + static_cast<std::ptrdiff_t>(pixels));
    recording.info.timestampsUs.push_back(
        std::chrono::duration_cast<std::chrono::microseconds>(at - recording.first).count());
}

void CameraStream::Publish(const ExportShape& shape, bool fourBytes, bool raw) {
    const std::size_t pixels = static_cast<std::size_t>(shape.size.width) * static_cast<std::size_t>(shape.size.height);
    work_.bgrx.resize(pixels * 4);
    if (fourBytes) {
        std::memcpy(work_.bgrx.data(), exported_.data(), pixels * 4);
    } else {
        ExpandGrey(exported_.data(), pixels, work_.bgrx.data());
    }
    work_.size = shape.size;
    work_.grey = !shape.colour || raw;
    work_.raw = raw;
    work_.histogram = MakeHistogram(work_.bgrx.data(), pixels, work_.grey);
    {
        std::lock_guard lock(mutex_);
        std::swap(work_, latest_);
        fresh_ = true;
    }
    if (frameReady_) frameReady_();
}

}  // namespace korvex::viewer
