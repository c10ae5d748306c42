#include "controls_panel.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "camera_commands.h"
#include "histogram_view.h"
#include "named_items.h"

namespace korvex::viewer {
namespace {

constexpr const char* kUnits[3] = {"us", "ms", "s"};
constexpr const char* kLayouts[4] = {"1  B G / G R", "2  G B / R G", "3  G R / B G", "4  R G / G B"};
constexpr const char* kColourChannels[4] = {"R", "G (by R)", "G (by B)", "B"};
constexpr const char* kMonoChannels[4] = {"cell 0,0", "cell 1,0", "cell 0,1", "cell 1,1"};

void DrawCameraList(ViewerState& state) {
    ImGui::TextUnformatted("Cameras (shown side by side)");
    for (std::size_t c = 0; c < state.cameras.size(); ++c) {
        const CameraInfo& camera = state.cameras[c];
        auto shown = std::find_if(state.views.begin(), state.views.end(),
                                  [&](const auto& view) { return view->stream->Camera().device == camera.device; });
        bool on = shown != state.views.end();
        const std::string label = std::to_string(camera.device) + "  " + camera.model + "  " + camera.serial;
        if (ImGui::Checkbox(label.c_str(), &on)) {
            if (on)
                ShowCamera(state, c);
            else
                HideCamera(state, static_cast<std::size_t>(shown - state.views.begin()));
        }
        NameLastItem("camera " + std::to_string(camera.device));
    }
}

void DrawExposure(CameraView& view) {
    CameraSettings& settings = view.settings;
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 9);
    ImGui::InputInt("##exposure", &settings.exposureValue, 0);
    NameLastItem("Exposure");
    settings.exposureValue = std::clamp(settings.exposureValue, 1, 32767);
    if (ImGui::IsItemDeactivatedAfterEdit()) ApplyExposure(view);
    ImGui::SameLine();
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 4.5f);
    if (ImGui::Combo("Exposure##unit", &settings.exposureUnit, kUnits, 3)) ApplyExposure(view);
    ImGui::TextDisabled("1..32767 %s; the camera clamps to its own range", kUnits[settings.exposureUnit]);
}

void DrawGain(CameraView& view) {
    CameraSettings& settings = view.settings;
    if (ImGui::SliderInt("Gain 0..255", &settings.gain, 0, 255)) ApplyGain(view);
    if (!ImGui::TreeNode("Gain per channel")) return;
    const auto& names = view.stream->Camera().colourSensor ? kColourChannels : kMonoChannels;
    for (int c = 0; c < 4; ++c) {
        if (ImGui::SliderInt(names[c], &settings.channelGain[static_cast<std::size_t>(c)], 0, 255)) {
            ApplyChannelGain(view, c);
        }
    }
    ImGui::TreePop();
}

void DrawGeometry(CameraView& view) {
    CameraSettings& settings = view.settings;
    const CameraInfo& camera = view.stream->Camera();
    const FrameSize mode = camera.modes[static_cast<std::size_t>(settings.mode)];
    char preview[48];
    std::snprintf(preview, sizeof preview, "%d: %dx%d", settings.mode, mode.width, mode.height);
    if (ImGui::BeginCombo("Resolution mode", preview)) {
        for (std::size_t m = 0; m < camera.modes.size(); ++m) {
            char item[48];
            std::snprintf(item, sizeof item, "%zu: %dx%d", m, camera.modes[m].width, camera.modes[m].height);
            if (ImGui::Selectable(item, static_cast<int>(m) == settings.mode)) {
                settings.mode = static_cast<int>(m);
                ApplyMode(view);
            }
        }
        ImGui::EndCombo();
    }
    ImGui::InputInt4("Window L,T,W,H", settings.window.data());
    ImGui::TextDisabled("pixels within %dx%d", mode.width, mode.height);
    if (ImGui::Button("Apply window")) ApplyWindow(view);
    ImGui::SameLine();
    if (ImGui::Button("Whole mode")) {
        settings.window = {0, 0, mode.width, mode.height};
        ApplyWindow(view);
    }
    ImGui::SameLine();
    ImGui::Checkbox("Draw on image", &view.drawingWindow);
    NameLastItem("Draw on image");
}

// Colour sensors only.
void DrawColour(CameraView& view) {
    CameraSettings& settings = view.settings;
    if (ImGui::Checkbox("Colour", &settings.colour)) ApplyColour(view);
    NameLastItem("Colour");
    ImGui::SameLine();
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 11);
    int layout = settings.layout - 1;
    if (ImGui::Combo("Bayer layout", &layout, kLayouts, 4)) {
        settings.layout = layout + 1;
        ApplyColour(view);
    }
    ImGui::TextUnformatted("White balance: ratios 0.10..4.00, gamma 1.0..10.0");
    if (ImGui::SliderFloat("Red", &settings.whiteBalanceRed, 0.1f, 4.0f, "%.2f")) ApplyWhiteBalance(view);
    if (ImGui::SliderFloat("Blue", &settings.whiteBalanceBlue, 0.1f, 4.0f, "%.2f")) ApplyWhiteBalance(view);
    if (ImGui::Button("Auto white balance")) AutoWhiteBalance(view);
    NameLastItem("Auto white balance");
    if (settings.whiteBalanceAuto) {
        ImGui::SameLine();
        ImGui::TextDisabled("ratios estimated");
    }
    if (ImGui::SliderInt("Gamma x10", &settings.gamma, 10, 100)) ApplyGamma(view);
    if (ImGui::Button("Reset colour tables")) ResetColourTables(view);
}

void DrawCrossHair(ViewerState& state) {
    CrossHair& cross = state.crossHair;
    const bool recording =
        std::any_of(state.views.begin(), state.views.end(), [](const auto& view) { return view->stream->Recording(); });
    ImGui::BeginDisabled(recording);
    bool changed = ImGui::Checkbox("Cross-hair (all cameras; drag it)", &cross.on);
    NameLastItem("Cross-hair");
    ImGui::EndDisabled();
    int box[4] = {cross.x, cross.y, cross.width, cross.height};
    changed |= ImGui::InputInt4("Box X,Y,W,H (px)", box);
    changed |= ImGui::SliderInt("Thickness (px)", &cross.thickness, 0, 32);
    NameLastItem("Thickness");
    if (!changed) return;
    cross.x = box[0];
    cross.y = box[1];
    cross.width = box[2];
    cross.height = box[3];
    ApplyCrossHair(state);
}

void DrawNumbers(ViewerState& state, CameraView& view) {
    const StatsSummary stats = view.stream->Stats();
    ImGui::Text("%.0f fps   export p50 %.2f ms  p99 %.2f ms", stats.framesPerSecond, stats.exportP50Ms,
                stats.exportP99Ms);
    ImGui::Text("frames %ld   timeouts %ld (1 s with no frame)", stats.frames, stats.timeouts);
    DrawHistogram(view.frame.histogram);
    ImGui::Checkbox("Mark clipped pixels on the image", &state.markClipped);
    ImGui::TextDisabled("%s", view.stream->LastResult().c_str());
    if (!view.saveResult.empty()) ImGui::TextDisabled("%s", view.saveResult.c_str());
}

void DrawActions(ViewerState& state, CameraView& view) {
    if (ImGui::Button(state.paused ? "Resume (space)" : "Pause (space)")) TogglePause(state);
    ImGui::SameLine();
    if (ImGui::Button("Snapshot (s)")) Snapshot(state, view);
    NameLastItem("Snapshot");
    ImGui::SameLine();
    // The cross-hair would be drawn into the raw frames: no recording starts while it is on.
    const bool recording = view.stream->Recording();
    ImGui::BeginDisabled(!recording && state.crossHair.on);
    if (ImGui::Button(recording ? "Stop recording" : "Record")) ToggleRecording(state, view);
    NameLastItem("Record");
    ImGui::EndDisabled();
    if (!recording && state.crossHair.on) {
        if (ImGui::IsItemHovered(ImGuiHoveredFlags_AllowWhenDisabled))
            ImGui::SetTooltip("Switch the cross-hair off to record: it would be drawn into the raw frames");
        ImGui::SameLine();
        ImGui::TextDisabled("(cross-hair on)");
    }
}

}  // namespace

void DrawControlsPanel(ViewerState& state) {
    ImGui::PushItemWidth(-ImGui::GetFontSize() * 9);  // room for the labels on the right
    DrawCameraList(state);
    if (state.views.empty()) {
        ImGui::PopItemWidth();
        return;
    }
    CameraView& view = *state.views[state.active];
    const CameraInfo& camera = view.stream->Camera();
    ImGui::Separator();
    ImGui::Text("Camera %d  %s  %s", camera.device, camera.model.c_str(), camera.colourSensor ? "colour" : "mono");
    DrawActions(state, view);
    DrawNumbers(state, view);
    if (ImGui::CollapsingHeader("Exposure and gain", ImGuiTreeNodeFlags_DefaultOpen)) {
        DrawExposure(view);
        DrawGain(view);
    }
    if (ImGui::CollapsingHeader("Resolution and window", ImGuiTreeNodeFlags_DefaultOpen)) DrawGeometry(view);
    if (camera.colourSensor && ImGui::CollapsingHeader("Colour", ImGuiTreeNodeFlags_DefaultOpen)) DrawColour(view);
    if (ImGui::CollapsingHeader("Cross-hair", ImGuiTreeNodeFlags_DefaultOpen)) DrawCrossHair(state);
    ImGui::PopItemWidth();
}

}  // namespace korvex::viewer
