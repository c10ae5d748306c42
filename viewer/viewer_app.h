// The viewer's window and frame loop: SDL window and renderer, Dear ImGui on them, the keys, the
// optional test script, and the layout (controls on the left, the images beside them).
#pragma once

#include "viewer_options.h"
#include "viewer_state.h"

namespace korvex::viewer {

// Runs until q, the window's close button, or --exit-after. Returns the process exit code: 0,
// or 4 when a snapshot or recording could not be written.
int RunViewer(const ViewerOptions& options, ViewerState& state);

// Wakes the frame loop to show a new frame; any thread may call it.
void WakeForFrame();

}  // namespace korvex::viewer
