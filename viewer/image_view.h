// The images: each shown camera's newest frame in a texture, drawn side by side and scaled to
// the space beside the controls. A click on an image makes its camera the one the controls act
// on; a drag moves the cross-hair, or draws the output window when "Draw on image" is on. A
// paused camera, and one with no frame for a second, is marked on its image.
#pragma once

#include <SDL.h>

#include "viewer_state.h"

namespace korvex::viewer {

// Takes each stream's newest frame into its texture.
void UploadFrames(SDL_Renderer* renderer, ViewerState& state);
void DrawImages(ViewerState& state);

}  // namespace korvex::viewer
