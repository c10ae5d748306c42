// korvex snap N -o FILE.png: one frame, with the camera and colour settings asked for.
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camera_session.h"
#include "capture_options.h"
#include "commands.h"
#include "exit_status.h"
#include "frame_export.h"
#include "korvex.h"
#include "png_file.h"

namespace korvex::cli {
namespace {

struct SnapOptions {
    CaptureOptions capture;
    std::string output;
    std::optional<int> gamma;
    std::optional<double> wbRed;
    std::optional<double> wbBlue;
    bool autoWhiteBalance = false;
    std::vector<int> cross;  // x, y, width, height and an optional thickness
};

int16_t Hundredths(double ratio) { return static_cast<int16_t>(std::lround(ratio * 100.0)); }

// White balance and gamma both live in the colour tables; the parser keeps them apart.
void ApplyColourSettings(const SnapOptions& options) {
    const auto device = static_cast<int16_t>(options.capture.device);
    if (options.wbRed && ZqSetWhiteBalanceRatio(device, Hundredths(*options.wbBlue), Hundredths(*options.wbRed)) != 1) {
        throw CliError(kExitCamera, "camera " + std::to_string(device) + " refused the white-balance ratios");
    }
    if (options.gamma) ZqSetGamma(device, static_cast<int16_t>(*options.gamma * 10));
    if (options.cross.empty()) return;
    const auto& c = options.cross;
    const int thickness = c.size() == 5 ? c[4] : 1;
    ZqSetCrossPara(device, static_cast<int16_t>(c[0]), static_cast<int16_t>(c[1]), static_cast<int16_t>(c[2]),
                   static_cast<int16_t>(c[3]), static_cast<int16_t>(thickness));
    ZqEnableCross(device, 1);
}

void WriteFrame(const SnapOptions& options, const std::vector<uint8_t>& frame, FrameSize size, bool fourBytes) {
    bool written = false;
    if (fourBytes) {
        const std::vector<uint8_t> rgb = png::BgrxToRgb(frame.data(), size.Pixels());
        written = png::Write(options.output, rgb.data(), size.width, size.height, 3);
    } else {
        written = png::Write(options.output, frame.data(), size.width, size.height, 1);
    }
    if (!written) throw CliError(kExitIo, "cannot write " + options.output);
}

void RunSnap(const SnapOptions& options) {
    CheckCaptureOptions(options.capture);
    const auto device = static_cast<int16_t>(options.capture.device);
    RequireCamera(device);
    CameraSession session(device);
    const CameraIdentity id = ReadIdentity(device);
    const FrameSize size = ApplyCaptureOptions(options.capture);
    const bool colour = WantsColour(options.capture, KindOfModel(id.model));
    ApplyColourSettings(options);
    session.StartCapture(device);

    // Room for four bytes a pixel: colour and the cross-hair both export B,G,R,0.
    std::vector<uint8_t> frame(size.Pixels() * 4);
    const int layout = options.capture.bayer;
    const int timeout = options.capture.timeoutMs;
    ExportFrameOrThrow(device, frame.data(), size.width, size.height, colour, layout, timeout);
    if (options.autoWhiteBalance) {
        ZqAutoWhiteBalance(device);  // estimates from the frame just exported
        ExportFrameOrThrow(device, frame.data(), size.width, size.height, colour, layout, timeout);
    }
    WriteFrame(options, frame, size, colour || !options.cross.empty());
    std::printf("camera %d (%s): %dx%d %s frame written to %s\n", device, id.model.c_str(), size.width, size.height,
                colour ? "colour" : "grey", options.output.c_str());
}

void AddColourOptions(CLI::App& parser, SnapOptions& options) {
    auto* gamma =
        parser.add_option("--gamma", options.gamma, "Gamma curve 1..10 (1 is linear)")->check(CLI::Range(1, 10));
    auto* red = parser.add_option("--wb-red", options.wbRed, "Red white-balance ratio, 0.01..327.67")
                    ->check(CLI::Range(0.01, 327.67));
    auto* blue = parser.add_option("--wb-blue", options.wbBlue, "Blue white-balance ratio, 0.01..327.67")
                     ->check(CLI::Range(0.01, 327.67));
    red->needs(blue);
    blue->needs(red);
    auto* automatic = parser.add_flag("--auto-wb", options.autoWhiteBalance,
                                      "Automatic white balance from a first frame, then the frame to keep");
    automatic->excludes(red)->excludes(blue);
    // The colour tables hold either a gamma curve or the white balance, not both.
    gamma->excludes(red)->excludes(blue)->excludes(automatic);
    parser.add_option("--cross", options.cross, "Red cross-hair X,Y,WIDTH,HEIGHT[,THICKNESS] in output pixels")
        ->delimiter(',')
        ->expected(4, 5)
        ->check(CLI::Range(0, 32767));
}

}  // namespace

Command AddSnapCommand(CLI::App& tool) {
    CLI::App* parser = tool.add_subcommand("snap", "Capture one frame into a PNG file");
    auto options = std::make_shared<SnapOptions>();
    AddCaptureOptions(*parser, options->capture);
    parser->add_option("-o,--output", options->output, "PNG file to write")->required();
    AddColourOptions(*parser, *options);
    return {parser, [options] { RunSnap(*options); }};
}

}  // namespace korvex::cli
