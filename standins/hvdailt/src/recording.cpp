// Reading a recording folder and handing out its frames and intervals.
#include "recording.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>

#include "png_reader.h"
#include "regular_file.h"

namespace hvsim {
namespace {

constexpr int32_t kMaxSide = 65535;

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

// Far above any real file: recording.txt of a million frames is about 30 MB, and a frame of the
// largest sensor about 3 MB.
constexpr size_t kMaxFileBytes = size_t{256} << 20;
// Timestamps, in microseconds, lie within +-2^40 (about 12.7 days), so that neither an interval
// nor a mean, nor a wait built from one, can overflow.
constexpr int64_t kMaxTimestampUs = int64_t{1} << 40;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::string reason;
    if (ReadRegularFile(path, kMaxFileBytes, bytes, reason)) return true;
    error = "cannot read " + path.string() + ": " + reason;
    return false;
}

// What recording.txt says, before the frames are read.
struct Description {
    std::optional<int32_t> format, width, height, bayerLayout, frames;
    std::optional<std::string> model;
    std::vector<int64_t> timestampsUs;
};

bool ReadFrameLine(std::string_view value, Description& d, std::string& error) {
    const size_t space = value.find_first_of(" \t");
    const auto index = ParseNumber<int64_t>(Trimmed(value.substr(0, space)));
    const auto stamp =
        space == std::string_view::npos ? std::nullopt : ParseNumber<int64_t>(Trimmed(value.substr(space)));
    if (!index || !stamp) {
        error = "frame line \"" + std::string(value) + "\" is not <index> <timestamp_us>";
        return false;
    }
    if (*index != static_cast<int64_t>(d.timestampsUs.size())) {
        error = "frame " + std::to_string(*index) + " is listed where frame " + std::to_string(d.timestampsUs.size()) +
                " belongs";
        return false;
    }
    if (*stamp < -kMaxTimestampUs || *stamp > kMaxTimestampUs) {
        error = "frame " + std::to_string(*index) + "'s timestamp " + std::to_string(*stamp) + " us is outside -" +
                std::to_string(kMaxTimestampUs) + ".." + std::to_string(kMaxTimestampUs) + " us";
        return false;
    }
    if (!d.timestampsUs.empty() && *stamp < d.timestampsUs.back()) {
        error = "frame " + std::to_string(*index) + "'s timestamp goes back in time";
        return false;
    }
    d.timestampsUs.push_back(*stamp);
    return true;
}

bool ReadKey(std::string_view key, std::string_view value, Description& d, std::string& error) {
    const auto number = [&](std::optional<int32_t>& field, int32_t low, int32_t high) {
        field = ParseNumber<int32_t>(value);
        if (field && *field >= low && *field <= high) return true;
        error = std::string(key) + "=" + std::string(value) + " is not a number from " + std::to_string(low) + " to " +
                std::to_string(high);
        return false;
    };
    if (key == "format") return number(d.format, 1, 1);
    if (key == "model") d.model = std::string(value);
    if (key == "width") return number(d.width, 1, kMaxSide);
    if (key == "height") return number(d.height, 1, kMaxSide);
    if (key == "bayer_layout") return number(d.bayerLayout, 0, 4);
    if (key == "frames") return number(d.frames, 1, 1000000);
    if (key == "frame") return ReadFrameLine(value, d, error);
    return true;  // other keys are for other readers
}

bool ReadDescription(const std::filesystem::path& file, Description& d, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(file, bytes, error)) {
        error += " (not a recording folder?)";
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    size_t start = std::string_view(text).starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (int line = 1; start < text.size(); ++line) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view row = Trimmed(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (row.empty() || row.front() == '#') continue;
        const size_t equals = row.find('=');
        if (equals == std::string_view::npos) {
            error = "recording.txt line " + std::to_string(line) + " has no key=value";
            return false;
        }
        if (!ReadKey(Trimmed(row.substr(0, equals)), Trimmed(row.substr(equals + 1)), d, error)) {
            error = "recording.txt line " + std::to_string(line) + ": " + error;
            return false;
        }
    }
    return true;
}

bool CheckComplete(const Description& d, std::string& error) {
    const char* missing = !d.format        ? "format"
                          : !d.model       ? "model"
                          : !d.width       ? "width"
                          : !d.height      ? "height"
                          : !d.bayerLayout ? "bayer_layout"
                          : !d.frames      ? "frames"
                                           : nullptr;
    if (missing != nullptr) {
        error = std::string("recording.txt has no ") + missing + "= line";
        return false;
    }
    if (static_cast<int64_t>(d.timestampsUs.size()) != *d.frames) {
        error = "recording.txt says frames=" + std::to_string(*d.frames) + " but lists " +
                std::to_string(d.timestampsUs.size()) + " frame lines";
        return false;
    }
    return true;
}

std::string FrameFileName(size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06zu.png", index);
    return name;
}

bool ReadFrames(const std::filesystem::path& folder, Recording& recording, std::string& error) {
    recording.frames.resize(recording.timestampsUs.size());
    std::vector<uint8_t> file;
    for (size_t i = 0; i < recording.frames.size(); ++i) {
        const std::filesystem::path path = folder / FrameFileName(i);
        if (!ReadFile(path, file, error)) return false;
        if (!DecodeGreyPng(file, recording.width, recording.height, recording.frames[i], error)) {
            error = path.string() + " " + error;
            return false;
        }
    }
    return true;
}

}  // namespace

std::shared_ptr<const Recording> LoadRecording(const std::string& folder, std::string& error) {
    const std::filesystem::path root(folder);
    Description d;
    if (!ReadDescription(root / "recording.txt", d, error) || !CheckComplete(d, error)) return nullptr;
    auto recording = std::make_shared<Recording>();
    recording->folder = folder;
    recording->model = *d.model;
    recording->width = *d.width;
    recording->height = *d.height;
    recording->bayerLayout = *d.bayerLayout;
    recording->timestampsUs = std::move(d.timestampsUs);
    if (!ReadFrames(root, *recording, error)) return nullptr;
    return recording;
}

int64_t ReplayIntervalUs(const Recording& recording, int64_t frameNumber) {
    const auto& stamps = recording.timestampsUs;
    const int64_t count = static_cast<int64_t>(stamps.size());
    if (count < 2) return 0;
    const int64_t index = frameNumber % count;
    if (index == 0) return (stamps.back() - stamps.front()) / (count - 1);
    return stamps[static_cast<size_t>(index)] - stamps[static_cast<size_t>(index - 1)];
}

void CopyRecordedWindow(const Recording& recording, int64_t frameNumber, int32_t left, int32_t top, int32_t width,
                        int32_t height, uint8_t* destination) {
    const auto count = static_cast<int64_t>(recording.frames.size());
    const std::vector<uint8_t>& frame = recording.frames[static_cast<size_t>(frameNumber % count)];
    const int32_t inside = std::clamp(recording.width - left, 0, width);
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* out = destination + static_cast<size_t>(row) * static_cast<size_t>(width);
        const int32_t y = top + row;
        int32_t copied = 0;
        if (y >= 0 && y < recording.height && left >= 0) {
            const size_t from =
                static_cast<size_t>(y) * static_cast<size_t>(recording.width) + static_cast<size_t>(left);
            std::memcpy(out, frame.data() + from, static_cast<size_t>(inside));
            copied = inside;
        }
        std::memset(out + copied, 0, static_cast<size_t>(width - copied));
    }
}

}  // namespace hvsim
