// One frame from a capturing camera, with the adapter's results turned into errors.
#pragma once

#include <cstdint>

namespace korvex::cli {

enum class ExportResult { kFrame, kTimeout };

// Exports the camera's next frame (see ZqExportImageData). A refusal throws CliError(kExitCamera).
ExportResult ExportFrame(int16_t device, uint8_t* destination, int16_t width, int16_t height, bool colour, int layout);

// As ExportFrame, but a timeout throws CliError(kExitCamera) too.
void ExportFrameOrThrow(int16_t device, uint8_t* destination, int16_t width, int16_t height, bool colour, int layout,
                        int timeoutMs);

}  // namespace korvex::cli
