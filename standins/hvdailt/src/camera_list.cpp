// Parsing of the camera list, with messages that say which entry is wrong and what exists.
#include "camera_list.h"

#include <cctype>
#include <charconv>
#include <exception>
#include <sstream>
#include <string_view>

#include "models.h"

namespace hvsim {
namespace {

constexpr std::string_view kReplayPrefix = "replay:";
constexpr std::string_view kUnplugOption = "@unplug=";
constexpr int64_t kMaxUnplugValue = int64_t{1} << 40;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

std::string Quoted(std::string_view entry) { return "KORVEX_SIM_CAMERAS entry \"" + std::string(entry) + "\""; }

bool ReplayEntry(std::string_view entry, CameraEntry& camera, std::string& error) {
    const std::string folder(Trimmed(entry.substr(kReplayPrefix.size())));
    if (folder.empty()) {
        error = Quoted(entry) + " names no folder: write replay:<recording folder>";
        return false;
    }
    std::string reason;
    try {
        camera.recording = LoadRecording(folder, reason);
    } catch (const std::exception& fault) {
        reason = std::string("cannot be read: ") + fault.what();
    }
    if (!camera.recording) {
        error = Quoted(entry) + ": " + reason;
        return false;
    }
    if (camera.recording->model.empty()) {
        camera.typeCode = kNamelessTypeCode;
        return true;
    }
    const auto code = ParseCameraToken(camera.recording->model);
    if (!code) {
        error = Quoted(entry) + ": the recorded model \"" + camera.recording->model +
                "\" is not one of the models: " + ModelNameList();
        return false;
    }
    camera.typeCode = *code;
    return true;
}

// Reads "<N>ms" or "<N>frames" (N from 0) into the entry's unplug time or frame.
bool ReadUnplugOption(std::string_view entry, std::string_view when, CameraEntry& camera, std::string& error) {
    const auto number = [&](std::string_view unit, int64_t& field) {
        if (!when.ends_with(unit) || when.size() == unit.size()) return false;
        const std::string_view digits = when.substr(0, when.size() - unit.size());
        int64_t value = 0;
        const auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (fault != std::errc() || end != digits.data() + digits.size() || value < 0 || value > kMaxUnplugValue)
            return false;
        field = value;
        return true;
    };
    if (number("ms", camera.unplugAfterMs) || number("frames", camera.unplugAtFrame)) return true;
    error = Quoted(entry) + ": write @unplug=<milliseconds>ms or @unplug=<frame number>frames";
    return false;
}

bool ReadCamera(std::string_view entry, CameraEntry& camera, std::string& error) {
    if (StartsWithIgnoringCase(entry, kReplayPrefix)) return ReplayEntry(entry, camera, error);
    const auto code = ParseCameraToken(entry);
    if (!code) {
        error = Quoted(entry) + " is not a camera. Use a model name (" + ModelNameList() +
                "), a decimal type code, or replay:<recording folder>";
        return false;
    }
    camera.typeCode = *code;
    return true;
}

bool ReadEntry(std::string_view entry, CameraEntry& camera, std::string& error) {
    const size_t option = entry.rfind(kUnplugOption);
    if (option != std::string_view::npos) {
        const std::string_view when = Trimmed(entry.substr(option + kUnplugOption.size()));
        if (!ReadUnplugOption(entry, when, camera, error)) return false;
        return ReadCamera(Trimmed(entry.substr(0, option)), camera, error);
    }
    return ReadCamera(entry, camera, error);
}

}  // namespace

bool ParseCameraList(const std::string& text, std::vector<CameraEntry>& entries, std::string& error) {
    entries.clear();
    if (Trimmed(text).empty()) return true;
    std::stringstream stream(text);
    std::string token;
    while (std::getline(stream, token, ',')) {
        const std::string_view entry = Trimmed(token);
        if (entries.size() == kMaxCameras) {
            error = "KORVEX_SIM_CAMERAS lists more than " + std::to_string(kMaxCameras) + " cameras";
            return false;
        }
        CameraEntry camera;
        if (entry.empty()) {
            error = "KORVEX_SIM_CAMERAS entry " + std::to_string(entries.size() + 1) + " is empty";
            return false;
        }
        if (!ReadEntry(entry, camera, error)) return false;
        entries.push_back(std::move(camera));
    }
    return true;
}

}  // namespace hvsim
