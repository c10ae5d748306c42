// korvex-viewer's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvex::viewer {

struct ViewerOptions {
    std::vector<int> show = {1};       // cameras shown at the start
    std::optional<double> exitAfterS;  // quit after this many seconds
    std::string testScript;            // scripted input and screenshot handshake (see test_seam.h)
    std::string outputFolder = ".";    // snapshots and recordings
    int width = 1440, height = 900;    // the window, in screen coordinates
};

// Returns the options, or nothing after printing help (exitCode 0) or an error (exitCode 2).
std::optional<ViewerOptions> ParseOptions(int argc, char** argv, int& exitCode);

}  // namespace korvex::viewer
