// korvex info N: one camera's identification, status and resolution modes.
#include <cstdio>
#include <memory>
#include <string>

#include "camera_identity.h"
#include "camera_session.h"
#include "commands.h"
#include "korvex.h"

namespace korvex::cli {
namespace {

constexpr int16_t kMostModes = 64;

const char* StatusText(int16_t status) {
    if (status == 1) return "good";
    if (status == -1) return "fault reported";
    return "query failed";
}

// The modes the camera accepts, tried in order; the camera is left in mode 0.
std::string ResolutionModes(int16_t device) {
    std::string modes;
    for (int16_t mode = 0; mode < kMostModes && ZqSetResolution(device, mode) == 1; ++mode) {
        if (!modes.empty()) modes += ", ";
        modes += std::to_string(mode) + ": " + std::to_string(ZqGetImageWidth(device)) + "x" +
                 std::to_string(ZqGetImageHeight(device));
    }
    ZqSetResolution(device, 0);
    return modes.empty() ? "none accepted" : modes;
}

void RunInfo(int16_t device) {
    RequireCamera(device);
    CameraSession session(device);
    const CameraIdentity id = ReadIdentity(device);
    std::printf("camera %d\n", device);
    std::printf("  model             %s\n", id.model.empty() ? "(no name)" : id.model.c_str());
    std::printf("  sensor            %s\n", KindName(KindOfModel(id.model)));
    std::printf("  serial number     %s\n", id.serial.c_str());
    std::printf("  hardware version  %s\n", id.hardwareVersion.c_str());
    std::printf("  status            %s\n", StatusText(ZqGetLastStatus(device)));
    std::printf("  resolution        %dx%d\n", ZqGetImageWidth(device), ZqGetImageHeight(device));
    std::printf("  resolution modes  %s\n", ResolutionModes(device).c_str());
}

}  // namespace

Command AddInfoCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand("info", "Show one camera: identification, status and resolution modes");
    auto device = std::make_shared<int>(0);
    parser->add_option("camera", *device, "Camera number, from 1")->required()->check(CLI::Range(1, 10));
    return {parser, [device] { RunInfo(static_cast<int16_t>(*device)); }};
}

}  // namespace korvex::cli
