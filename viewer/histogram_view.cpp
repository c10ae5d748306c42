#include "histogram_view.h"

#include <algorithm>

#include "imgui.h"

namespace korvex::viewer {
namespace {

constexpr float kHeight = 90.0f;
const ImU32 kChannelColours[3] = {IM_COL32(255, 80, 80, 255), IM_COL32(80, 230, 80, 255), IM_COL32(90, 140, 255, 255)};
const ImU32 kGreyColour = IM_COL32(230, 230, 230, 255);

}  // namespace

void DrawHistogram(const Histogram& histogram) {
    const float width = ImGui::GetContentRegionAvail().x;
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRectFilled(origin, ImVec2(origin.x + width, origin.y + kHeight), IM_COL32(20, 20, 20, 255));
    float peak = 1e-6f;
    for (int c = 0; c < histogram.channels; ++c) {
        peak = std::max(peak, *std::max_element(histogram.bins[c].begin(), histogram.bins[c].end()));
    }
    for (int c = 0; c < histogram.channels; ++c) {
        ImVec2 points[Histogram::kBins];
        for (int b = 0; b < Histogram::kBins; ++b) {
            points[b] = ImVec2(origin.x + width * (static_cast<float>(b) + 0.5f) / Histogram::kBins,
                               origin.y + kHeight * (1.0f - histogram.bins[c][b] / peak));
        }
        draw->AddPolyline(points, Histogram::kBins, histogram.channels == 1 ? kGreyColour : kChannelColours[c], 0,
                          1.5f);
    }
    ImGui::Dummy(ImVec2(width, kHeight));
    const char* names[3] = {"R", "G", "B"};
    ImGui::TextUnformatted("clipped (255):");
    for (int c = 0; c < histogram.channels; ++c) {
        const double percent = histogram.pixels == 0 ? 0.0
                                                     : 100.0 * static_cast<double>(histogram.clipped[c]) /
                                                           static_cast<double>(histogram.pixels);
        ImGui::SameLine();
        const ImVec4 colour = percent > 0 ? ImVec4(1, 0.3f, 0.3f, 1) : ImVec4(0.7f, 0.7f, 0.7f, 1);
        ImGui::TextColored(colour, "%s %.2f%%", histogram.channels == 1 ? "grey" : names[c], percent);
    }
}

}  // namespace korvex::viewer
