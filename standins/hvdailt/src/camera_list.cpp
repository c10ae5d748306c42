// Parsing of the camera list, with messages that say which entry is wrong and what exists.
#include "camera_list.h"

#include <cctype>
#include <sstream>
#include <string_view>

#include "models.h"

namespace hvsim {
namespace {

constexpr std::string_view kReplayPrefix = "replay:";

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
    camera.recording = LoadRecording(folder, reason);
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

bool ReadEntry(std::string_view entry, CameraEntry& camera, std::string& error) {
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
