// The viewer's window and frame loop: SDL window and renderer, Dear ImGui on them, the keys, the
// optional script, and the layout (controls on the left, the images beside them).
#pragma once

#include "viewer_options.h"
#include "viewer_state.h"

namespace korvex::viewer {

// Runs until q, the window's close button, the script's end plus --exit-after, or --exit-after.
// Returns the process exit code.
int RunViewer(const ViewerOptions& options, ViewerState& state);

}  // namespace korvex::viewer
