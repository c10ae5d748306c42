#include "viewer_app.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
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

constexpr float kPanelWidth = 430.0f;
constexpr Uint32 kFrameMs = 16;  // the UI redraws at most about 60 times a second
constexpr const char* kTitle = "korvex-viewer";

// space pauses all cameras, s snapshots the active one, q quits; not while a text field has the keys.
void HandleKey(const SDL_Event& event, ViewerState& state) {
    if (event.type != SDL_KEYDOWN || ImGui::GetIO().WantTextInput) return;
    switch (event.key.keysym.sym) {
        case SDLK_SPACE:
            state.paused = !state.paused;
            for (auto& view : state.views) view->stream->SetPaused(state.paused);
            break;
        case SDLK_s:
            if (!state.views.empty()) Snapshot(state, *state.views[state.active]);
            break;
        case SDLK_q: state.quit = true; break;
        default: break;
    }
}

void DrawLayout(ViewerState& state) {
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(viewport->Pos);
    ImGui::SetNextWindowSize(viewport->Size);
    constexpr ImGuiWindowFlags kFlags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus;
    ImGui::Begin("korvex-viewer", nullptr, kFlags);
    ImGui::BeginChild("controls", ImVec2(kPanelWidth, 0), true);
    DrawControlsPanel(state);
    ImGui::EndChild();
    ImGui::SameLine();
    ImGui::BeginChild("images", ImVec2(0, 0), false, ImGuiWindowFlags_NoScrollbar);
    DrawImages(state);
    ImGui::EndChild();
    ImGui::End();
}

// "mark LABEL window W H image D X Y W H FW FH ..." (window pixels), then waits for a line on
// standard input.
void Mark(SDL_Window* window, const ViewerState& state, const std::string& label) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    std::printf("mark %s window %d %d", label.c_str(), width, height);
    for (const auto& view : state.views) {
        std::printf(" image %d %.0f %.0f %.0f %.0f %d %d", view->stream->Camera().device, view->imageMin.x,
                    view->imageMin.y, view->imageMax.x - view->imageMin.x, view->imageMax.y - view->imageMin.y,
                    view->frame.size.width, view->frame.size.height);
    }
    std::printf("\n");
    std::fflush(stdout);
    std::string reply;
    std::getline(std::cin, reply);
}

void Render(SDL_Renderer* renderer) {
    ImGui::Render();
    SDL_SetRenderDrawColor(renderer, 30, 30, 30, 255);
    SDL_RenderClear(renderer);
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    SDL_RenderPresent(renderer);
}

int Loop(SDL_Window* window, SDL_Renderer* renderer, const ViewerOptions& options, ViewerState& state) {
    std::unique_ptr<Script> script;
    if (!options.script.empty()) {
        script = std::make_unique<Script>();
        std::string error;
        if (!script->Load(options.script, error)) {
            std::fprintf(stderr, "korvex-viewer: %s\n", error.c_str());
            return 2;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    while (!state.quit) {
        const Uint32 frameStart = SDL_GetTicks();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            ImGui_ImplSDL2_ProcessEvent(&event);
            if (event.type == SDL_QUIT) state.quit = true;
            HandleKey(event, state);
        }
        const double elapsedS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (options.exitAfterS && elapsedS >= *options.exitAfterS) break;
        UploadFrames(renderer, state);
        ImGui_ImplSDLRenderer_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        if (script) {
            ScriptContext context;
            context.activeFrames = state.views.empty() ? 0 : state.views[state.active]->framesShown;
            context.mark = [&](const std::string& label) { Mark(window, state, label); };
            script->Step(context);
        }
        ImGui::NewFrame();
        DrawLayout(state);
        Render(renderer);
        const Uint32 spent = SDL_GetTicks() - frameStart;
        if (spent < kFrameMs) SDL_Delay(kFrameMs - spent);
    }
    return 0;
}

}  // namespace

int RunViewer(const ViewerOptions& options, ViewerState& state) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "korvex-viewer: no display: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.width,
                                          options.height, SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (renderer == nullptr) {
        std::fprintf(stderr, "korvex-viewer: no window: %s\n", SDL_GetError());
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_Quit();
        return 1;
    }
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // no imgui.ini left in the user's folder
    ImGui::StyleColorsDark();
    ImGui_ImplSDL2_InitForSDLRenderer(window);
    ImGui_ImplSDLRenderer_Init(renderer);
    const int code = Loop(window, renderer, options, state);
    while (!state.views.empty()) HideCamera(state, state.views.size() - 1);
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return code;
}

}  // namespace korvex::viewer
