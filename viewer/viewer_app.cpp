#include "viewer_app.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "camera_commands.h"
#include "controls_panel.h"
#include "image_view.h"
#include "imgui.h"
#include "imgui_impl_sdl.h"
#include "imgui_impl_sdlrenderer.h"
#include "script.h"

namespace korvex::viewer {
namespace {

constexpr float kPanelWidth = 430.0f;  // at a scale of 1
constexpr Uint32 kFrameMs = 16;        // at most about 60 redraws a second
constexpr int kRefreshMs = 500;        // with no frame and no input: the numbers and marks stay current
constexpr int kSettleFrames = 3;       // Dear ImGui shows an input's effect over the next frames
constexpr float kBaseFontPixels = 13.0f;
constexpr const char* kTitle = "korvex-viewer";

// The capture threads' new frames wake the UI through one SDL event, posted only when the last
// one has been taken, so that the queue never fills with them.
// The type is 0 until SDL is set up and again once the capture threads have stopped.
std::atomic<Uint32> frameEventType{0};
std::atomic<bool> frameEventPosted{false};

void PostFrameEvent(Uint32 type) {
    if (frameEventPosted.exchange(true)) return;
    SDL_Event event{};
    event.type = type;
    if (SDL_PushEvent(&event) != 1) frameEventPosted = false;
}

// space pauses all cameras, s snapshots the active one, q quits; not while a text field has the keys.
void HandleKey(const SDL_Event& event, ViewerState& state) {
    if (event.type != SDL_KEYDOWN || ImGui::GetIO().WantTextInput) return;
    switch (event.key.keysym.sym) {
        case SDLK_SPACE: TogglePause(state); break;
        case SDLK_s:
            if (!state.views.empty()) Snapshot(state, *state.views[state.active]);
            break;
        case SDLK_q: state.quit = true; break;
        default: break;
    }
}

// True when the event is input (not a camera's new frame).
bool HandleEvent(const SDL_Event& event, ViewerState& state) {
    if (event.type == frameEventType) {
        frameEventPosted = false;
        return false;
    }
    ImGui_ImplSDL2_ProcessEvent(&event);
    if (event.type == SDL_QUIT) state.quit = true;
    HandleKey(event, state);
    return true;
}

void DrawLayout(ViewerState& state, float scale) {
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(viewport->Pos);
    ImGui::SetNextWindowSize(viewport->Size);
    constexpr ImGuiWindowFlags kFlags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus;
    ImGui::Begin("korvex-viewer", nullptr, kFlags);
    ImGui::BeginChild("controls", ImVec2(kPanelWidth * scale, 0), true);
    DrawControlsPanel(state);
    ImGui::EndChild();
    ImGui::SameLine();
    ImGui::BeginChild("images", ImVec2(0, 0), false, ImGuiWindowFlags_NoScrollbar);
    DrawImages(state);
    ImGui::EndChild();
    ImGui::End();
}

void Render(SDL_Renderer* renderer) {
    ImGui::Render();
    SDL_SetRenderDrawColor(renderer, 30, 30, 30, 255);
    SDL_RenderClear(renderer);
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    SDL_RenderPresent(renderer);
}

bool Hidden(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

struct Frame {
    SDL_Window* window;
    SDL_Renderer* renderer;
    float scale;
};

void DrawFrame(const Frame& frame, ViewerState& state, Script* script) {
    UploadFrames(frame.renderer, state);
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    if (script != nullptr) script->Step(frame.window, state);
    ImGui::NewFrame();
    DrawLayout(state, frame.scale);
    Render(frame.renderer);
}

// Draws when a frame or input arrives (and for a few frames after input, while Dear ImGui
// settles), every kRefreshMs otherwise, and not at all while the window is minimised. A script
// that still runs is stepped every frame.
int Loop(const Frame& frame, const ViewerOptions& options, ViewerState& state, Script* script) {
    const auto start = std::chrono::steady_clock::now();
    int settle = kSettleFrames;
    Uint32 lastDraw = 0;
    while (!state.quit) {
        const bool busy = settle > 0 || (script != nullptr && !script->Finished());
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, busy ? 1 : kRefreshMs) != 0) {
            bool input = HandleEvent(event, state);
            while (SDL_PollEvent(&event) != 0) input |= HandleEvent(event, state);
            if (input) settle = kSettleFrames;
        }
        const double elapsedS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (options.exitAfterS && elapsedS >= *options.exitAfterS) break;
        if (state.quit || Hidden(frame.window)) continue;
        const Uint32 sinceDraw = SDL_GetTicks() - lastDraw;
        if (sinceDraw < kFrameMs) SDL_Delay(kFrameMs - sinceDraw);
        lastDraw = SDL_GetTicks();
        DrawFrame(frame, state, script);
        settle = std::max(0, settle - 1);
    }
    return 0;
}

// The display's scale against the 96 dots an inch Dear ImGui's sizes are made for, in quarters,
// at least 1: fonts are loaded at that size and every size of the style scaled with them.
float DisplayScale(SDL_Window* window) {
    float dpi = 0;
    if (SDL_GetDisplayDPI(SDL_GetWindowDisplayIndex(window), &dpi, nullptr, nullptr) != 0 || !(dpi > 0)) return 1.0f;
    return std::max(1.0f, std::round(dpi / 96.0f * 4.0f) / 4.0f);
}

void SetUpImGui(SDL_Window* window, SDL_Renderer* renderer, float scale) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // no imgui.ini left in the user's folder
    ImGui::StyleColorsDark();
    ImGui::GetStyle().ScaleAllSizes(scale);
    ImFontConfig font;
    font.SizePixels = std::round(kBaseFontPixels * scale);
    io.Fonts->AddFontDefault(&font);
    ImGui_ImplSDL2_InitForSDLRenderer(window);
    ImGui_ImplSDLRenderer_Init(renderer);
}

std::unique_ptr<Script> LoadScript(const std::string& path) {
    if (path.empty()) return nullptr;
    auto script = std::make_unique<Script>();
    std::string error;
    if (script->Load(path, error)) return script;
    std::fprintf(stderr, "korvex-viewer: %s\n", error.c_str());
    return nullptr;
}

}  // namespace

void WakeForFrame() {
    const Uint32 type = frameEventType;
    if (type != 0) PostFrameEvent(type);
}

int RunViewer(const ViewerOptions& options, ViewerState& state) {
    const std::unique_ptr<Script> script = LoadScript(options.testScript);
    if (!options.testScript.empty() && !script) return 2;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "korvex-viewer: no display: %s\n", SDL_GetError());
        return 1;
    }
    const Uint32 type = SDL_RegisterEvents(1);
    frameEventType = type == static_cast<Uint32>(-1) ? 0 : type;  // without it, redraws come with kRefreshMs
    SDL_Window* window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.width,
                                          options.height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (renderer == nullptr) {
        std::fprintf(stderr, "korvex-viewer: no window: %s\n", SDL_GetError());
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_Quit();
        return 1;
    }
    const float scale = DisplayScale(window);
    SetUpImGui(window, renderer, scale);
    const int code = Loop(Frame{window, renderer, scale}, options, state, script.get());
    while (!state.views.empty()) HideCamera(state, state.views.size() - 1);
    frameEventType = 0;
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return code != 0 ? code : state.exitCode;
}

}  // namespace korvex::viewer
