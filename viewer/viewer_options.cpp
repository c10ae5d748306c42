#include "viewer_options.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace korvex::viewer {
namespace {

constexpr const char* kHelp =
    "korvex-viewer: live images of the cameras, with their controls, numbers and histograms\n"
    "\n"
    "Usage: korvex-viewer [options]\n"
    "  --show N[,N...]     cameras shown side by side at the start (default 1)\n"
    "  --output DIR        folder for snapshots and recordings (default: the current folder)\n"
    "  --size WxH          window size in pixels (default 1440x900)\n"
    "  --exit-after S      quit after S seconds\n"
    "  --script FILE       scripted input, for tests and screenshots (commands: wait-frames N,\n"
    "                      click NAME, drag NAME DX DY, type TEXT, key NAME, mark LABEL)\n"
    "  --help              this text\n"
    "Keys: space pauses, s snapshots the camera the controls act on, q quits.\n";

bool ParseList(const std::string& text, std::vector<int>& values) {
    values.clear();
    std::istringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        char* end = nullptr;
        const long value = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || value < 1 || value > 10) return false;
        values.push_back(static_cast<int>(value));
    }
    return !values.empty();
}

bool ParseOne(const std::string& name, const std::string& value, ViewerOptions& options) {
    if (name == "--show") return ParseList(value, options.show);
    if (name == "--output") {
        options.outputFolder = value;
        return !value.empty();
    }
    if (name == "--script") {
        options.script = value;
        return !value.empty();
    }
    if (name == "--size")
        return std::sscanf(value.c_str(), "%dx%d", &options.width, &options.height) == 2 && options.width >= 320 &&
               options.height >= 240;
    if (name == "--exit-after") {
        char* end = nullptr;
        const double seconds = std::strtod(value.c_str(), &end);
        options.exitAfterS = seconds;
        return *end == '\0' && seconds > 0;
    }
    return false;
}

}  // namespace

std::optional<ViewerOptions> ParseOptions(int argc, char** argv, int& exitCode) {
    ViewerOptions options;
    for (int a = 1; a < argc; ++a) {
        const std::string name = argv[a];
        if (name == "--help" || name == "-h") {
            std::fputs(kHelp, stdout);
            exitCode = 0;
            return std::nullopt;
        }
        if (a + 1 >= argc || !ParseOne(name, argv[a + 1], options)) {
            std::fprintf(stderr, "korvex-viewer: %s: %s\n%s", name.c_str(),
                         a + 1 >= argc ? "missing value" : "unknown option or bad value", kHelp);
            exitCode = 2;
            return std::nullopt;
        }
        ++a;
    }
    return options;
}

}  // namespace korvex::viewer
