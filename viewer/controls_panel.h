// The panel beside the images: the camera list, then the active camera's controls, numbers and
// histogram. Every control shows its range and unit and applies through camera_commands.
#pragma once

#include "viewer_state.h"

namespace korvex::viewer {

void DrawControlsPanel(ViewerState& state);

}  // namespace korvex::viewer
