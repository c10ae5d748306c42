#include "stream_stats.h"

#include <algorithm>
#include <vector>

namespace korvex::viewer {
namespace {

double Percentile(std::vector<double> values, double percent) {
    if (values.empty()) return 0;
    const auto rank = static_cast<std::size_t>(percent / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank), values.end());
    return values[rank];
}

}  // namespace

void StreamStats::AddFrame(Clock::time_point at, double exportMs) {
    ++frames_;
    lastFrame_ = at;
    lastDelivered_ = at;
    recentFrames_.push_back(at);
    while (!recentFrames_.empty() && at - recentFrames_.front() > std::chrono::seconds(1)) recentFrames_.pop_front();
    exportMs_[exportCount_ % kSamples] = exportMs;
    ++exportCount_;
}

void StreamStats::AddMiss(Clock::time_point at) {
    if (at - lastFrame_ < kTimeout) return;
    ++timeouts_;
    lastFrame_ = at;
}

StatsSummary StreamStats::Summary(Clock::time_point now) const {
    StatsSummary summary;
    summary.frames = frames_;
    summary.timeouts = timeouts_;
    long recent = 0;
    for (const auto& at : recentFrames_) recent += now - at <= std::chrono::seconds(1) ? 1 : 0;
    summary.framesPerSecond = static_cast<double>(recent);
    const std::vector<double> samples(exportMs_.begin(), exportMs_.begin() + std::min(exportCount_, kSamples));
    summary.exportP50Ms = Percentile(samples, 50);
    summary.exportP99Ms = Percentile(samples, 99);
    summary.secondsSinceFrame = std::chrono::duration<double>(now - lastDelivered_).count();
    return summary;
}

}  // namespace korvex::viewer
