// korvex-viewer: the cameras live, with their controls beside the images. It uses only the
// adapter's public header, so it runs unchanged against the camera maker's libraries.
#include <cstdio>
#include <cstdlib>

#include "camera_commands.h"
#include "cameras.h"
#include "viewer_app.h"
#include "viewer_options.h"

using namespace korvex::viewer;

int main(int argc, char** argv) {
    int exitCode = 0;
    const std::optional<ViewerOptions> options = ParseOptions(argc, argv, exitCode);
    if (!options) return exitCode;
    // The library's misuse messages go to standard error rather than waiting in a dialog.
    setenv("KORVEX_DIALOG", "false", 0);
    ViewerState state;
    state.outputFolder = options->outputFolder;
    std::string error;
    state.cameras = OpenCameras(error);
    if (state.cameras.empty()) {
        std::fprintf(stderr, "korvex-viewer: %s\n", error.c_str());
        return 3;
    }
    for (const int device : options->show) {
        for (std::size_t c = 0; c < state.cameras.size(); ++c) {
            if (state.cameras[c].device == device) ShowCamera(state, c);
        }
    }
    state.active = 0;
    const int code = RunViewer(*options, state);
    CloseCameras();
    return code;
}
