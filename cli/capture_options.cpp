#include "capture_options.h"

#include <cstdio>

#include "exit_status.h"
#include "number_checks.h"
#include "exposure_range.h"
#include "korvex.h"
#include "resolution_modes.h"

namespace korvex::cli {
namespace {

std::string ExposureCheck(const std::string& text) {
    return ParseExposure(text) ? std::string()
                               : "'" + text +
                                     "' is not a time with unit us, ms or s from 1 us to 32767 s that is a whole "
                                     "number of at most 32767 us, ms or s (40000us is 40 ms; 40001us cannot be sent)";
}

std::string Refused(const CaptureOptions& options, const std::string& what) {
    return "camera " + std::to_string(options.device) + " refused " + what;
}

int16_t Short(int value) { return static_cast<int16_t>(value); }

std::string WindowText(const std::vector<int>& w) {
    return std::to_string(w[0]) + "," + std::to_string(w[1]) + "," + std::to_string(w[2]) + "," + std::to_string(w[3]);
}

void ApplyMode(const CaptureOptions& options) {
    const int16_t device = Short(options.device);
    if (ZqSetResolution(device, Short(*options.mode)) == 1) return;
    const std::string modes = ModesText(ResolutionModes(device));
    throw CliError(kExitCamera,
                   Refused(options, "resolution mode " + std::to_string(*options.mode)) + "; its modes are " + modes);
}

void ApplyWindow(const CaptureOptions& options) {
    const auto& w = options.window;
    const int16_t device = Short(options.device);
    const int16_t status = ZqSetAOI(device, Short(w[0]), Short(w[1]), Short(w[2]), Short(w[3]));
    if (status == 1) return;
    const int width = ZqGetImageWidth(device), height = ZqGetImageHeight(device);
    std::string limit = "; it must lie within the mode's " + std::to_string(width) + "x" + std::to_string(height) +
                        " (LEFT+WIDTH at most " + std::to_string(width) + ", TOP+HEIGHT at most " +
                        std::to_string(height) + ")";
    if (w[0] + w[2] <= width && w[1] + w[3] <= height) limit = "";  // within the mode: the camera's own reason
    throw CliError(kExitCamera, Refused(options, "the window " + WindowText(w) + " (status " + std::to_string(status) +
                                                     ")" + limit));
}

// The exposure the camera gets, when the tool can know it and it is not what was asked.
void WarnOfExposureClamp(const CaptureOptions& options, const std::string& model) {
    const int width = options.window.empty() ? ZqGetImageWidth(Short(options.device)) : options.window[2];
    const std::optional<AppliedExposure> applied =
        AppliedExposureOf(model, *options.exposure, width, options.mode.value_or(0));
    if (!applied || applied->clamped == 0) return;
    std::fprintf(stderr, "korvex: warning: camera %d: exposure %s is %s than the %s takes at width %d; it got %s\n",
                 options.device, ExposureText(*options.exposure).c_str(), applied->clamped > 0 ? "longer" : "shorter",
                 model.c_str(), width, SecondsText(applied->seconds).c_str());
}

}  // namespace

void AddCaptureOptions(CLI::App& command, CaptureOptions& options) {
    command.add_option("camera", options.device, "Camera number, from 1")->required()->check(WholeIn(1, 10));
    auto* grey = command.add_flag("--grey", options.grey, "Grey frames (raw bytes for a colour sensor)");
    command.add_flag("--colour", options.colour, "Colour frames (default for models ending in C)")->excludes(grey);
    command.add_option("--bayer", options.bayer, "Bayer layout of the sensor: 1 BG/GR, 2 GB/RG, 3 GR/BG, 4 RG/GB")
        ->check(WholeIn(1, 4))
        ->capture_default_str();
    command
        .add_option_function<std::string>(
            "--exposure", [&options](const std::string& text) { options.exposure = ParseExposure(text); },
            "Exposure time with unit us, ms or s (e.g. 10ms, 1.5ms, 40000us); a time outside what the camera takes "
            "is cut to its range with a warning giving the time it got")
        ->check(CLI::Validator(ExposureCheck, "TIME"));
    command.add_option("--gain", options.gain, "Gain of all channels, 0..255")->check(WholeIn(0, 255));
    command.add_option("--mode", options.mode, "Resolution mode (see `korvex info`), 0 is the full frame")
        ->check(WholeIn(0, 255));
    command.add_option("--window", options.window, "Output window LEFT,TOP,WIDTH,HEIGHT within the mode")
        ->type_name("LEFT,TOP,WIDTH,HEIGHT")
        ->delimiter(',')
        ->expected(4)
        ->check(WholeIn(0, 32767));
    command.add_option("--timeout", options.timeoutMs, "Longest wait for a frame, in ms (1..32767)")
        ->check(WholeIn(1, 32767))
        ->capture_default_str();
}

void CheckCaptureOptions(const CaptureOptions& options) {
    const auto& w = options.window;
    if (!w.empty() && (w.size() != 4 || w[2] < 1 || w[3] < 1)) {
        throw CliError(kExitUsage, "--window: give LEFT,TOP,WIDTH,HEIGHT with a width and height of at least 1");
    }
}

FrameSize ApplyCaptureOptions(const CaptureOptions& options, const std::string& model) {
    const int16_t device = Short(options.device);
    ZqSetTimeout(Short(options.timeoutMs));
    if (options.mode) ApplyMode(options);
    if (!options.window.empty()) ApplyWindow(options);
    if (options.exposure) {
        if (ZqSetShutter(device, options.exposure->unit, options.exposure->value) != 1)
            throw CliError(kExitCamera, Refused(options, "the exposure " + ExposureText(*options.exposure)));
        WarnOfExposureClamp(options, model);
    }
    if (options.gain && ZqSetGain(device, 0, Short(*options.gain)) != 1) {
        throw CliError(kExitCamera, Refused(options, "the gain " + std::to_string(*options.gain)));
    }
    if (!options.window.empty()) return {Short(options.window[2]), Short(options.window[3])};
    const FrameSize size{ZqGetImageWidth(device), ZqGetImageHeight(device)};
    if (size.width < 1 || size.height < 1) throw CliError(kExitCamera, Refused(options, "to tell its frame size"));
    return size;
}

bool WantsColour(const CaptureOptions& options, const CameraIdentity& identity) {
    if (options.grey) return false;
    const SensorKind kind = KindOfModel(identity.model);
    if (options.colour && kind == SensorKind::kMonochrome) {
        std::fprintf(stderr,
                     "korvex: warning: camera %d (%s) is monochrome: --colour demosaics its grey frames into false "
                     "colour\n",
                     options.device, identity.model.c_str());
    }
    return options.colour || kind == SensorKind::kColour;
}

}  // namespace korvex::cli
