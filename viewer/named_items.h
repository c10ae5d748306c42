// Where the named widgets were drawn in the latest frame, so that a script can point at them by
// name ("click Auto white balance") rather than by coordinates that change with the layout.
#pragma once

#include <optional>
#include <string>

#include "imgui.h"

namespace korvex::viewer {

// Records the rectangle of the last ImGui item under name.
void NameLastItem(const std::string& name);
// The centre of the named item as last drawn, in window pixels.
std::optional<ImVec2> NamedItemCentre(const std::string& name);

}  // namespace korvex::viewer
