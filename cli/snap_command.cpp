// korvex snap N -o FILE: one frame, with the camera and colour settings asked for, in the image
// format that the file's extension names.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture_setup.h"
#include "commands.h"
#include "exit_status.h"
#include "frame_export.h"
#include "image_file.h"
#include "korvex.h"
#include "number_checks.h"
#include "ratio_hundredths.h"

namespace korvex::cli {
namespace {

struct SnapOptions {
    CaptureOptions capture;
    std::string output;
    int quality = image::kDefaultJpegQuality;
    std::optional<int> gamma;
    std::optional<double> wbRed;
    std::optional<double> wbBlue;
    bool autoWhiteBalance = false;
    bool save = false;
    std::vector<int> cross;  // x, y, width, height and an optional thickness
};

image::Format OutputFormat(const std::string& output) {
    const std::optional<image::Format> format = image::FormatOfPath(output);
    if (!format) {
        throw CliError(kExitUsage,
                       "--output: '" + output + "' has no image extension; use one of " + image::FormatList());
    }
    return *format;
}

// White balance and gamma both live in the colour tables; the parser keeps them apart. A white
// balance chosen without --save is undone before the close stores the ratios.
void ApplyColourSettings(const SnapOptions& options, PreparedCamera& camera) {
    const int16_t device = camera.device;
    if (options.wbRed && ZqSetWhiteBalanceRatio(device, Hundredths(*options.wbBlue), Hundredths(*options.wbRed)) != 1) {
        throw CliError(kExitCamera, "camera " + std::to_string(device) + " refused the white-balance ratios");
    }
    if ((options.wbRed || options.autoWhiteBalance) && !options.save) camera.session.PutBackStoredWhiteBalance(device);
    if (options.gamma) ZqSetGamma(device, static_cast<int16_t>(*options.gamma * 10));
    if (options.cross.empty()) return;
    const auto& c = options.cross;
    const int thickness = c.size() == 5 ? c[4] : 1;
    ZqSetCrossPara(device, static_cast<int16_t>(c[0]), static_cast<int16_t>(c[1]), static_cast<int16_t>(c[2]),
                   static_cast<int16_t>(c[3]), static_cast<int16_t>(thickness));
    ZqEnableCross(device, 1);
}

void WriteFrame(const SnapOptions& options, const std::vector<uint8_t>& frame, FrameSize size, bool fourBytes) {
    const image::Format format = OutputFormat(options.output);
    image::WriteResult result;
    if (fourBytes) {
        const std::vector<uint8_t> rgb = image::BgrxToRgb(frame.data(), size.Pixels());
        result = image::WriteImage(options.output, format, rgb.data(), size.width, size.height, 3, options.quality);
    } else {
        result = image::WriteImage(options.output, format, frame.data(), size.width, size.height, 1, options.quality);
    }
    if (!result.written) throw CliError(kExitIo, "cannot write " + options.output + ": " + result.reason);
}

void RunSnap(const SnapOptions& options) {
    OutputFormat(options.output);  // a usage error before any camera is opened
    if (options.save) RequireWritableSettings();
    PreparedCamera camera(options.capture);
    ApplyColourSettings(options, camera);
    camera.Start();

    // Room for four bytes a pixel: colour and the cross-hair both export B,G,R,0.
    const FrameSize size = camera.size;
    std::vector<uint8_t> frame(size.Pixels() * 4);
    const int layout = options.capture.bayer;
    const int timeout = options.capture.timeoutMs;
    ExportFrameOrThrow(camera.device, frame.data(), size.width, size.height, camera.colour, layout, timeout);
    if (options.autoWhiteBalance) {
        ZqAutoWhiteBalance(camera.device);  // estimates from the frame just exported
        ExportFrameOrThrow(camera.device, frame.data(), size.width, size.height, camera.colour, layout, timeout);
    }
    WriteFrame(options, frame, size, camera.colour || !options.cross.empty());
    std::printf("camera %d (%s): %dx%d %s frame written to %s\n", camera.device, camera.identity.model.c_str(),
                size.width, size.height, camera.colour ? "colour" : "grey", options.output.c_str());
}

void AddColourOptions(CLI::App& parser, SnapOptions& options) {
    auto* gamma = parser.add_option("--gamma", options.gamma, "Gamma curve 1..10 (1 is linear)")->check(WholeIn(1, 10));
    auto* red = parser.add_option("--wb-red", options.wbRed, "Red white-balance ratio, 0.01..327.67")
                    ->check(FiniteIn(0.01, 327.67));
    auto* blue = parser.add_option("--wb-blue", options.wbBlue, "Blue white-balance ratio, 0.01..327.67")
                     ->check(FiniteIn(0.01, 327.67));
    red->needs(blue);
    blue->needs(red);
    auto* automatic = parser.add_flag("--auto-wb", options.autoWhiteBalance,
                                      "Automatic white balance from a first frame, then the frame to keep");
    automatic->excludes(red)->excludes(blue);
    parser.add_flag("--save", options.save,
                    "Store the white balance of --wb-red/--wb-blue or --auto-wb in the settings file for later runs "
                    "(without it the stored ratios are put back before closing)");
    // The colour tables hold either a gamma curve or the white balance, not both.
    gamma->excludes(red)->excludes(blue)->excludes(automatic);
    parser
        .add_option("--cross", options.cross,
                    "Red cross-hair in output pixels, four or five values: X,Y (top-left corner of its box), "
                    "WIDTH,HEIGHT (the box) and THICKNESS (of the lines, default 1)")
        ->type_name("X,Y,WIDTH,HEIGHT[,THICKNESS]")
        ->delimiter(',')
        ->expected(4, 5)
        ->check(WholeIn(0, 32767));
}

}  // namespace

Command AddSnapCommand(CLI::App& tool) {
    CLI::App* parser =
        tool.add_subcommand("snap", "Capture one frame into an image file (" + image::FormatList() + ")");
    auto options = std::make_shared<SnapOptions>();
    AddCaptureOptions(*parser, options->capture);
    parser
        ->add_option("-o,--output", options->output,
                     "Image file to write; its extension (" + image::FormatList() +
                         ") chooses the format. It is written beside its destination and moved into place when whole")
        ->required();
    parser->add_option("--quality", options->quality, "JPEG quality 1..100")
        ->check(WholeIn(1, 100))
        ->capture_default_str();
    AddColourOptions(*parser, *options);
    return {parser, [options] { RunSnap(*options); }};
}

}  // namespace korvex::cli
