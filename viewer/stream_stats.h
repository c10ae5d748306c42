// What the viewer shows of a camera's stream: frames per second over the last second, the time
// an export takes for a frame that is ready (p50, p99 of the latest exports) and the timeouts.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <deque>

namespace korvex::viewer {

struct StatsSummary {
    long frames = 0;
    long timeouts = 0;  // waits of kTimeout with no frame; a failed wait, not a lost frame
    double framesPerSecond = 0;
    double exportP50Ms = 0;
    double exportP99Ms = 0;
    double secondsSinceFrame = 0;  // since the latest frame, or since the start before the first
};

class StreamStats {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kTimeout = std::chrono::seconds(1);

    void AddFrame(Clock::time_point at, double exportMs);
    // Called after an export that found no frame; counts a timeout when none came for kTimeout.
    void AddMiss(Clock::time_point at);
    StatsSummary Summary(Clock::time_point now) const;

private:
    static constexpr std::size_t kSamples = 256;
    long frames_ = 0;
    long timeouts_ = 0;
    Clock::time_point lastFrame_ = Clock::now();    // or the latest timeout counted
    Clock::time_point lastDelivered_ = lastFrame_;  // the latest frame
    std::deque<Clock::time_point> recentFrames_;
    std::array<double, kSamples> exportMs_{};
    std::size_t exportCount_ = 0;
};

}  // namespace korvex::viewer
