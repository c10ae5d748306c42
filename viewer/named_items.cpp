#include "named_items.h"

#include <map>

namespace korvex::viewer {
namespace {

std::map<std::string, ImVec2>& Centres() {
    static std::map<std::string, ImVec2> centres;
    return centres;
}

}  // namespace

void NameLastItem(const std::string& name) {
    const ImVec2 min = ImGui::GetItemRectMin();
    const ImVec2 max = ImGui::GetItemRectMax();
    Centres()[name] = ImVec2((min.x + max.x) / 2, (min.y + max.y) / 2);
}

std::optional<ImVec2> NamedItemCentre(const std::string& name) {
    const auto found = Centres().find(name);
    if (found == Centres().end()) return std::nullopt;
    return found->second;
}

}  // namespace korvex::viewer
