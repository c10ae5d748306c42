// One camera's stream: a capture thread that makes every call on its camera, in order. It
// exports frames as fast as the camera delivers them, keeps the newest for display with its
// histogram and statistics, and runs the settings the controls post between two exports, so that
// no setting ever overlaps an export on the same camera (white balance must not).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cameras.h"
#include "histogram.h"
#include "recording_file.h"
#include "stream_stats.h"

namespace korvex::viewer {

// What an export asks for.
struct ExportShape {
    FrameSize size;          // the output window's size
    bool colour = false;     // B,G,R,0 demosaiced, else grey
    int layout = 1;          // the sensor's Bayer layout, 1..4
    bool crossHair = false;  // exports come out as 4 bytes a pixel while it is on
};

// The newest frame, ready for a texture: B,G,R,X whatever the export gave.
struct DisplayFrame {
    std::vector<uint8_t> bgrx;
    FrameSize size;
    bool grey = false;
    bool raw = false;  // a raw (mosaic) frame exported for a recording
    Histogram histogram;
};

class CameraStream {
public:
    // Starts capture on the camera and the thread; Stop or the destructor stops both.
    // frameReady is called on the capture thread after each new frame.
    CameraStream(const CameraInfo& camera, ExportShape shape, std::function<void()> frameReady);
    ~CameraStream();
    // Stops the thread and capture, first writing a recording in progress. False when that
    // recording could not be written (the reason is printed on standard error).
    bool Stop();
    CameraStream(const CameraStream&) = delete;
    CameraStream& operator=(const CameraStream&) = delete;

    const CameraInfo& Camera() const { return camera_; }

    // Runs command on the capture thread before the next export. It returns the line to show as
    // the camera's latest result ("exposure set").
    void Post(std::function<std::string()> command);
    // For posted commands only (they run on the capture thread).
    void SetShape(ExportShape shape) { shape_ = shape; }
    ExportShape Shape() const { return shape_; }

    // The UI thread's side.
    bool TakeNewFrame(DisplayFrame& frame);  // swaps in the newest frame when there is a newer one
    StatsSummary Stats() const;
    std::string LastResult() const;
    void SetPaused(bool paused) { paused_ = paused; }
    bool Paused() const { return paused_; }
    // Raw frames are exported and kept in memory until StopRecording, which writes them into
    // folder/korvex-<device>-recording-<n> as `korvex record` does. Refused while the cross-hair
    // is on, since it would be drawn into the raw frames.
    void StartRecording(const std::string& folder, int bayerLayout);
    void StopRecording();
    bool Recording() const { return recording_; }
    // True once a recording could not be written.
    bool SaveFailed() const { return saveFailed_; }

private:
    struct RecordingState {
        image::RecordingInfo info;
        std::string outputFolder;
        std::vector<uint8_t> frames;
        StreamStats::Clock::time_point first;
    };

    void Run();
    void RunCommands();
    void ExportOnce();
    void Publish(const ExportShape& shape, bool fourBytes, bool raw);
    void KeepRaw(const ExportShape& shape, StreamStats::Clock::time_point at);
    std::string FinishRecording();
    void SetResult(std::string text);

    const CameraInfo camera_;
    const std::function<void()> frameReady_;
    ExportShape shape_;  // capture thread only
    std::vector<uint8_t> exported_;
    DisplayFrame work_;
    std::optional<RecordingState> recordingState_;  // capture thread only

    mutable std::mutex mutex_;  // guards everything below
    std::vector<std::function<std::string()>> commands_;
    DisplayFrame latest_;
    bool fresh_ = false;
    StreamStats stats_;
    std::string lastResult_;

    std::atomic<bool> paused_{false};
    std::atomic<bool> recording_{false};
    std::atomic<bool> saveFailed_{false};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace korvex::viewer
