// The camera settings that snap, stream and record share, as options and as adapter calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "camera_identity.h"
#include "exposure_text.h"

namespace korvex::cli {

struct CaptureOptions {
    int device = 0;
    bool grey = false;
    bool colour = false;
    int bayer = 1;
    std::optional<Exposure> exposure;
    std::optional<int> gain;
    std::optional<int> mode;
    std::vector<int> window;  // left, top, width, height
    int timeoutMs = 5000;
};

// Adds the camera number and the shared options to a subcommand.
void AddCaptureOptions(CLI::App& command, CaptureOptions& options);

struct FrameSize {
    int16_t width;
    int16_t height;
    std::size_t Pixels() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

// Checks what the option parser cannot; throws CliError(kExitUsage) naming the option.
void CheckCaptureOptions(const CaptureOptions& options);

// Sends the chosen settings to the open camera of that model and returns the size of the frames it
// will deliver. Warns on standard error when the camera takes another exposure than asked (its
// range ends there). Throws CliError(kExitCamera) naming the setting the camera refused and why.
FrameSize ApplyCaptureOptions(const CaptureOptions& options, const std::string& model);

// Colour when asked for, grey when asked for, otherwise what the model name says. Warns when
// colour is asked of a monochrome camera.
bool WantsColour(const CaptureOptions& options, const CameraIdentity& identity);

}  // namespace korvex::cli
