// korvex info N: one camera's identification, status, what it can do and what it is set to.
//
// The interface reads back identification, status and the current mode's size, and nothing else:
// the window is the one this run's open set (the full frame), and the exposure range is worked
// out from the model's family at that geometry (exposure_range.h). Info sets no ratios, so closing stores those read.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camera_identity.h"
#include "camera_session.h"
#include "commands.h"
#include "exposure_range.h"
#include "json_text.h"
#include "korvex.h"
#include "number_checks.h"
#include "resolution_modes.h"

namespace korvex::cli {
namespace {

constexpr const char* kWindowSource = "set by this run's open: the full frame; the interface cannot read a window back";
constexpr const char* kGainRange = "0..255 for all channels (--gain), the camera refusing values outside its own range";

struct Info {
    int16_t device;
    CameraIdentity id;
    int16_t status;
    int16_t width, height;
    std::vector<ResolutionMode> modes;
};

const char* StatusText(int16_t status) {
    if (status == 1) return "good";
    if (status == -1) return "fault reported";
    return "query failed";
}

// The exposure range at the current geometry, in seconds; nothing for a camera whose range cannot
// be known (SV cameras take the time as sent).
std::optional<ExposureLimits> ExposureRange(const Info& info) { return ExposureRangeOf(info.id.model, info.width, 0); }

std::string ExposureRangeText(const Info& info) {
    const std::optional<ExposureLimits> range = ExposureRange(info);
    if (!range) return "as sent, 1..32767 us, ms or s; the camera's own range cannot be read";
    return SecondsText(range->shortestS) + " .. " + SecondsText(range->longestS) + " at width " +
           std::to_string(info.width) + " (mode 0); longer times are cut to the longest";
}

void PrintText(const Info& info) {
    std::printf("camera %d\n", info.device);
    std::printf("  model             %s\n", info.id.model.empty() ? "(no name)" : info.id.model.c_str());
    std::printf("  sensor            %s\n", KindName(KindOfModel(info.id.model)));
    std::printf("  serial number     %s\n", info.id.serial.c_str());
    std::printf("  hardware version  %s\n", info.id.hardwareVersion.c_str());
    std::printf("  status            %s\n", StatusText(info.status));
    std::printf("  resolution        %dx%d\n", info.width, info.height);
    std::printf("  window            0,0,%d,%d, %s\n", info.width, info.height, kWindowSource);
    std::printf("  resolution modes  %s\n", ModesText(info.modes).c_str());
    std::printf("  exposure          %s\n", ExposureRangeText(info).c_str());
    std::printf("  gain              %s\n", kGainRange);
}

void PrintJson(const Info& info) {
    std::vector<std::string> modes;
    for (const ResolutionMode& m : info.modes)
        modes.push_back(JsonObject().Number("mode", m.mode).Number("width", m.width).Number("height", m.height).Json());
    const std::string window = JsonObject()
                                   .Number("left", 0)
                                   .Number("top", 0)
                                   .Number("width", info.width)
                                   .Number("height", info.height)
                                   .Text("source", kWindowSource)
                                   .Json();
    const std::optional<ExposureLimits> range = ExposureRange(info);
    const std::string exposure = JsonObject()
                                     .Raw("units", JsonArray({"\"us\"", "\"ms\"", "\"s\""}))
                                     .Number("value_min", 1)
                                     .Number("value_max", 32767)
                                     .Raw("min_s", range ? JsonNumber(range->shortestS) : "null")
                                     .Raw("max_s", range ? JsonNumber(range->longestS) : "null")
                                     .Json();
    const std::string gain = JsonObject().Number("min", 0).Number("max", 255).Text("note", kGainRange).Json();
    std::printf("%s\n",
                JsonObject()
                    .Number("camera", info.device)
                    .Text("model", info.id.model)
                    .Text("sensor", KindName(KindOfModel(info.id.model)))
                    .Text("serial_number", info.id.serial)
                    .Text("hardware_version", info.id.hardwareVersion)
                    .Text("status", StatusText(info.status))
                    .Raw("resolution", JsonObject().Number("width", info.width).Number("height", info.height).Json())
                    .Raw("window", window)
                    .Raw("modes", JsonArray(modes))
                    .Raw("exposure", exposure)
                    .Raw("gain", gain)
                    .Json()
                    .c_str());
}

void RunInfo(int16_t device, bool json) {
    RequireCamera(device);
    CameraSession session(device);
    Info info{device, ReadIdentity(device), ZqGetLastStatus(device), ZqGetImageWidth(device), ZqGetImageHeight(device),
              {}};
    info.modes = ResolutionModes(device);
    json ? PrintJson(info) : PrintText(info);
}

}  // namespace

Command AddInfoCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand(
        "info", "Show one camera: identification, status, resolution modes, window, exposure and gain ranges");
    auto device = std::make_shared<int>(0);
    auto json = std::make_shared<bool>(false);
    parser->add_option("camera", *device, "Camera number, from 1")->required()->check(WholeIn(1, 10));
    parser->add_flag("--json", *json, "Print one JSON object");
    return {parser, [device, json] { RunInfo(static_cast<int16_t>(*device), *json); }};
}

}  // namespace korvex::cli
