#include "image_view.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "camera_commands.h"
#include "named_items.h"

namespace korvex::viewer {
namespace {

constexpr double kStalledS = 1.0;  // a camera with no frame for this long is marked

// Clipped pixels (any channel at 255) painted magenta on a copy of the frame.
std::vector<uint8_t> MarkClipped(const DisplayFrame& frame) {
    std::vector<uint8_t> marked = frame.bgrx;
    for (std::size_t p = 0; p + 3 < marked.size(); p += 4) {
        if (marked[p] == 255 || marked[p + 1] == 255 || marked[p + 2] == 255) {
            marked[p] = 255;
            marked[p + 1] = 0;
            marked[p + 2] = 255;
        }
    }
    return marked;
}

void Upload(SDL_Renderer* renderer, CameraView& view, bool markClipped) {
    const FrameSize size = view.frame.size;
    if (view.texture == nullptr || view.textureSize.width != size.width || view.textureSize.height != size.height) {
        if (view.texture != nullptr) SDL_DestroyTexture(view.texture);
        // B,G,R,X bytes in memory: XRGB8888 on a little-endian machine.
        view.texture =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, size.width, size.height);
        view.textureSize = size;
    }
    if (view.texture == nullptr) return;
    const uint8_t* pixels = view.frame.bgrx.data();
    std::vector<uint8_t> marked;
    if (markClipped) {
        marked = MarkClipped(view.frame);
        pixels = marked.data();
    }
    SDL_UpdateTexture(view.texture, nullptr, pixels, size.width * 4);
}

ImVec2 FramePixel(const CameraView& view, ImVec2 screen) {
    const float scale = (view.imageMax.x - view.imageMin.x) / static_cast<float>(view.frame.size.width);
    return ImVec2(
        std::clamp((screen.x - view.imageMin.x) / scale, 0.0f, static_cast<float>(view.frame.size.width - 1)),
        std::clamp((screen.y - view.imageMin.y) / scale, 0.0f, static_cast<float>(view.frame.size.height - 1)));
}

ImVec2 ScreenPoint(const CameraView& view, ImVec2 pixel) {
    const float scale = (view.imageMax.x - view.imageMin.x) / static_cast<float>(view.frame.size.width);
    return ImVec2(view.imageMin.x + pixel.x * scale, view.imageMin.y + pixel.y * scale);
}

// While "Draw on image" is on, a drag draws the new output window, applied on release.
void DrawWindowByDrag(CameraView& view) {
    const ImVec2 mouse = FramePixel(view, ImGui::GetIO().MousePos);
    if (ImGui::IsItemActivated()) view.dragStart = mouse;
    if (ImGui::IsItemActive()) {
        ImGui::GetWindowDrawList()->AddRect(ScreenPoint(view, view.dragStart), ScreenPoint(view, mouse),
                                            IM_COL32(255, 220, 0, 255), 0, 0, 2);
    }
    if (!ImGui::IsItemDeactivated()) return;
    const int left = static_cast<int>(std::min(view.dragStart.x, mouse.x));
    const int top = static_cast<int>(std::min(view.dragStart.y, mouse.y));
    const int width = static_cast<int>(std::abs(mouse.x - view.dragStart.x));
    const int height = static_cast<int>(std::abs(mouse.y - view.dragStart.y));
    view.drawingWindow = false;
    if (width < 2 || height < 2) return;
    view.settings.window = {view.settings.window[0] + left, view.settings.window[1] + top, width, height};
    ApplyWindow(view);
}

// A drag with the cross-hair on centres its box on the pointer; a click (no drag) only selects.
void MoveCrossHairByDrag(ViewerState& state, CameraView& view) {
    if (!ImGui::IsItemActive() || !state.crossHair.on || !ImGui::IsMouseDragging(ImGuiMouseButton_Left)) return;
    const ImVec2 mouse = FramePixel(view, ImGui::GetIO().MousePos);
    const int x = static_cast<int>(mouse.x) - state.crossHair.width / 2;
    const int y = static_cast<int>(mouse.y) - state.crossHair.height / 2;
    if (x == state.crossHair.x && y == state.crossHair.y) return;
    state.crossHair.x = x;
    state.crossHair.y = y;
    ApplyCrossHair(state);
}

// "paused", or "no frames since 22:41:07" once a second has passed without one.
std::string StalledText(const CameraView& view) {
    if (view.stream->Paused()) return "paused";
    const double seconds = view.stream->Stats().secondsSinceFrame;
    if (seconds < kStalledS) return {};
    const auto at = std::chrono::system_clock::now() - std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                                           std::chrono::duration<double>(seconds));
    const std::time_t time = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&time, &local);
    char text[64];
    std::strftime(text, sizeof text, "no frames since %H:%M:%S", &local);
    return text;
}

// The mark on a dark band across the top of the image, in the warning colour.
void DrawStalledMark(const CameraView& view, const std::string& text) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const float pad = ImGui::GetStyle().FramePadding.y;
    const ImVec2 band(view.imageMax.x, view.imageMin.y + ImGui::GetTextLineHeight() + 2 * pad);
    draw->AddRectFilled(view.imageMin, band, IM_COL32(0, 0, 0, 200));
    draw->AddText(ImVec2(view.imageMin.x + 2 * pad, view.imageMin.y + pad), IM_COL32(255, 200, 0, 255), text.c_str());
}

void DrawImage(ViewerState& state, std::size_t index, ImVec2 space) {
    CameraView& view = *state.views[index];
    const int device = view.stream->Camera().device;
    ImGui::BeginGroup();
    ImGui::Text("%d %s%s%s", device, view.stream->Camera().model.c_str(), index == state.active ? "  (controls)" : "",
                view.stream->Recording() ? "  REC" : "");
    if (view.texture != nullptr && view.frame.size.width > 0) {
        const float scale =
            std::min(space.x / static_cast<float>(view.frame.size.width),
                     (space.y - ImGui::GetFrameHeightWithSpacing()) / static_cast<float>(view.frame.size.height));
        const ImVec2 size(static_cast<float>(view.frame.size.width) * scale,
                          static_cast<float>(view.frame.size.height) * scale);
        view.imageMin = ImGui::GetCursorScreenPos();
        view.imageMax = ImVec2(view.imageMin.x + size.x, view.imageMin.y + size.y);
        ImGui::GetWindowDrawList()->AddImage(reinterpret_cast<ImTextureID>(view.texture), view.imageMin, view.imageMax);
        const std::string stalled = StalledText(view);
        if (!stalled.empty()) DrawStalledMark(view, stalled);
        ImGui::InvisibleButton(("image " + std::to_string(device)).c_str(), size);
        NameLastItem("image " + std::to_string(device));
        if (ImGui::IsItemActivated()) state.active = index;
        if (view.drawingWindow)
            DrawWindowByDrag(view);
        else
            MoveCrossHairByDrag(state, view);
    } else {
        const std::string stalled = StalledText(view);
        if (!stalled.empty()) ImGui::TextColored(ImVec4(1.0f, 0.8f, 0.0f, 1.0f), "%s", stalled.c_str());
    }
    ImGui::EndGroup();
}

}  // namespace

void UploadFrames(SDL_Renderer* renderer, ViewerState& state) {
    for (auto& view : state.views) {
        if (!view->stream->TakeNewFrame(view->frame)) continue;
        ++view->framesShown;
        Upload(renderer, *view, state.markClipped);
    }
}

void DrawImages(ViewerState& state) {
    if (state.views.empty()) return;
    const ImVec2 available = ImGui::GetContentRegionAvail();
    const float spacing = ImGui::GetStyle().ItemSpacing.x;
    const float count = static_cast<float>(state.views.size());
    const ImVec2 space((available.x - spacing * (count - 1)) / count, available.y);
    for (std::size_t v = 0; v < state.views.size(); ++v) {
        if (v > 0) ImGui::SameLine();
        DrawImage(state, v, space);
    }
}

}  // namespace korvex::viewer
