#include "capture_options.h"

#include "exit_status.h"
#include "korvex.h"

namespace korvex::cli {
namespace {

std::string ExposureCheck(const std::string& text) {
    return ParseExposure(text) ? std::string()
                               : "'" + text +
                                     "' is not a time with unit us, ms or s of 1 us or more, in whole microseconds, "
                                     "and at most 32767 of its unit";
}

std::string Refused(const CaptureOptions& options, const std::string& what) {
    return "camera " + std::to_string(options.device) + " refused " + what;
}

int16_t Short(int value) { return static_cast<int16_t>(value); }

void ApplyWindow(const CaptureOptions& options) {
    const auto& w = options.window;
    const int16_t status = ZqSetAOI(Short(options.device), Short(w[0]), Short(w[1]), Short(w[2]), Short(w[3]));
    if (status != 1) {
        throw CliError(kExitCamera, Refused(options, "the window " + std::to_string(w[0]) + "," + std::to_string(w[1]) +
                                                         "," + std::to_string(w[2]) + "," + std::to_string(w[3]) +
                                                         " (status " + std::to_string(status) + ")"));
    }
}

}  // namespace

void AddCaptureOptions(CLI::App& command, CaptureOptions& options) {
    command.add_option("camera", options.device, "Camera number, from 1")->required()->check(CLI::Range(1, 10));
    auto* grey = command.add_flag("--grey", options.grey, "Grey frames (raw bytes for a colour sensor)");
    command.add_flag("--colour", options.colour, "Colour frames (default for models ending in C)")->excludes(grey);
    command.add_option("--bayer", options.bayer, "Bayer layout of the sensor: 1 BG/GR, 2 GB/RG, 3 GR/BG, 4 RG/GB")
        ->check(CLI::Range(1, 4))
        ->capture_default_str();
    command
        .add_option_function<std::string>(
            "--exposure", [&options](const std::string& text) { options.exposure = ParseExposure(text); },
            "Exposure time with unit us, ms or s (e.g. 10ms, 1.5ms)")
        ->check(CLI::Validator(ExposureCheck, "TIME"));
    command.add_option("--gain", options.gain, "Gain of all channels, 0..255")->check(CLI::Range(0, 255));
    command.add_option("--mode", options.mode, "Resolution mode (see `korvex info`), 0 is the full frame")
        ->check(CLI::Range(0, 255));
    command.add_option("--window", options.window, "Output window LEFT,TOP,WIDTH,HEIGHT within the mode")
        ->delimiter(',')
        ->expected(4)
        ->check(CLI::Range(0, 32767));
    command.add_option("--timeout", options.timeoutMs, "Longest wait for a frame, in ms (1..32767)")
        ->check(CLI::Range(1, 32767))
        ->capture_default_str();
}

void CheckCaptureOptions(const CaptureOptions& options) {
    const auto& w = options.window;
    if (!w.empty() && (w.size() != 4 || w[2] < 1 || w[3] < 1)) {
        throw CliError(kExitUsage, "--window: give LEFT,TOP,WIDTH,HEIGHT with a width and height of at least 1");
    }
}

FrameSize ApplyCaptureOptions(const CaptureOptions& options) {
    const int16_t device = Short(options.device);
    ZqSetTimeout(Short(options.timeoutMs));
    if (options.mode && ZqSetResolution(device, Short(*options.mode)) != 1) {
        throw CliError(kExitCamera, Refused(options, "resolution mode " + std::to_string(*options.mode)));
    }
    if (!options.window.empty()) ApplyWindow(options);
    if (options.exposure && ZqSetShutter(device, options.exposure->unit, options.exposure->value) != 1) {
        throw CliError(kExitCamera, Refused(options, "the exposure " + ExposureText(*options.exposure)));
    }
    if (options.gain && ZqSetGain(device, 0, Short(*options.gain)) != 1) {
        throw CliError(kExitCamera, Refused(options, "the gain " + std::to_string(*options.gain)));
    }
    if (!options.window.empty()) return {Short(options.window[2]), Short(options.window[3])};
    const FrameSize size{ZqGetImageWidth(device), ZqGetImageHeight(device)};
    if (size.width < 1 || size.height < 1) throw CliError(kExitCamera, Refused(options, "to tell its frame size"));
    return size;
}

bool WantsColour(const CaptureOptions& options, SensorKind kind) {
    if (options.grey) return false;
    return options.colour || kind == SensorKind::kColour;
}

}  // namespace korvex::cli
