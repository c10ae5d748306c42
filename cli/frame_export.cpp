#include "frame_export.h"

#include <string>

#include "exit_status.h"
#include "korvex.h"

namespace korvex::cli {

ExportResult ExportFrame(int16_t device, uint8_t* destination, int16_t width, int16_t height, bool colour, int layout) {
    const int16_t result =
        ZqExportImageData(device, destination, width, height, colour ? 1 : 0, static_cast<int16_t>(layout));
    if (result == -1) return ExportResult::kTimeout;
    if (result != 1) throw CliError(kExitCamera, "camera " + std::to_string(device) + " refused to export a frame");
    return ExportResult::kFrame;
}

void ExportFrameOrThrow(int16_t device, uint8_t* destination, int16_t width, int16_t height, bool colour, int layout,
                        int timeoutMs) {
    if (ExportFrame(device, destination, width, height, colour, layout) == ExportResult::kTimeout) {
        throw CliError(kExitCamera, "no frame from camera " + std::to_string(device) + " within " +
                                        std::to_string(timeoutMs) + " ms");
    }
}

}  // namespace korvex::cli
