#include "viewer_options.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>

namespace korvex::viewer {
namespace {

constexpr const char* kKeys = "Keys: space pauses, s snapshots the camera the controls act on, q quits.";

// "WxH", at least 320x240.
std::string CheckSize(const std::string& text, int& width, int& height) {
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2) return "give the size as WxH, e.g. 1440x900";
    if (width < 320 || height < 240) return "the window is at least 320x240";
    return {};
}

// A check that keeps its error messages but adds nothing to the option's type in the help.
CLI::Validator Quiet(CLI::Validator check) { return check.description(""); }

}  // namespace

std::optional<ViewerOptions> ParseOptions(int argc, char** argv, int& exitCode) {
    ViewerOptions options;
    CLI::App app{"Live images of the cameras, with their controls, numbers and histograms.", "korvex-viewer"};
    app.footer(kKeys);
    app.add_option("--show", options.show, "Cameras shown side by side at the start, e.g. 1,2 (default 1)")
        ->delimiter(',')
        ->check(Quiet(CLI::Range(1, 10)))
        ->type_name("N[,N...]");
    app.add_option("--output", options.outputFolder,
                   "Folder for snapshots and recordings (default: the current folder)")
        ->check(Quiet(CLI::ExistingDirectory))
        ->type_name("DIR");
    std::string size;
    app.add_option("--size", size, "Window size WxH in screen coordinates (default 1440x900)")
        ->check([&options](const std::string& text) { return CheckSize(text, options.width, options.height); })
        ->type_name("WxH");
    app.add_option("--exit-after", options.exitAfterS, "Quit after this many seconds")
        ->check([](const std::string& text) {
            char* end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            return *end == '\0' && seconds > 0 ? std::string() : "give a number of seconds above 0";
        })
        ->type_name("SECONDS");
    app.add_option("--test-script", options.testScript,
                   "For tests and the README's screenshot: scripted input from FILE, and a screenshot handshake "
                   "on standard input and output at each of its marks")
        ->check(Quiet(CLI::ExistingFile))
        ->type_name("FILE");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        exitCode = app.exit(error) == 0 ? 0 : 2;
        return std::nullopt;
    }
    return options;
}

}  // namespace korvex::viewer
