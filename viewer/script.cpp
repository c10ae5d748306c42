#include "script.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "named_items.h"

namespace korvex::viewer {
namespace {

constexpr int kDragSteps = 8;

bool ParseLine(const std::string& line, std::string& verb, std::string& rest) {
    std::istringstream words(line);
    if (!(words >> verb)) return false;
    std::getline(words >> std::ws, rest);
    return true;
}

void PushKey(const std::string& name, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = SDL_GetKeyFromName(name.c_str());
    event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
    SDL_PushEvent(&event);
}

void PushText(const std::string& text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, text.c_str(), sizeof event.text.text - 1);
    SDL_PushEvent(&event);
}

long ActiveFrames(const ViewerState& state) { return state.views.empty() ? 0 : state.views[state.active]->framesShown; }

void Mark(SDL_Window* window, const ViewerState& state, const std::string& label) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    const int active = state.views.empty() ? 0 : state.views[state.active]->stream->Camera().device;
    std::printf("mark %s window %d %d active %d", label.c_str(), width, height, active);
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

}  // namespace

bool Script::Load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string verb, rest;
        if (!ParseLine(line, verb, rest) || verb[0] == '#') continue;
        Command command{verb, rest, 0, ImVec2(0, 0)};
        bool good = !rest.empty();
        if (verb == "wait-frames") {
            command.count = std::atol(rest.c_str());
            good = command.count > 0;
        } else if (verb == "drag") {
            const std::size_t last = rest.find_last_of(' ');
            const std::size_t before = rest.find_last_of(' ', last - 1);
            good = last != std::string::npos && before != std::string::npos;
            if (good) {
                command.offset =
                    ImVec2(std::stof(rest.substr(before + 1, last - before - 1)), std::stof(rest.substr(last + 1)));
                command.text = rest.substr(0, before);
            }
        } else if (verb != "click" && verb != "type" && verb != "key" && verb != "mark") {
            good = false;
        }
        if (!good) {
            error = path + ":" + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
        commands_.push_back(command);
    }
    return true;
}

void Script::Step(SDL_Window* window, const ViewerState& state) {
    if (!Finished() && StepCommand(commands_[next_], window, state)) {
        ++next_;
        step_ = 0;
    } else if (!Finished()) {
        ++step_;
    }
    if (!driving_) return;
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = pointer_;
    io.MouseDown[0] = down_;
}

// True when the command is done after this frame's step.
bool Script::StepCommand(const Command& command, SDL_Window* window, const ViewerState& state) {
    if (command.verb == "wait-frames") {
        if (step_ == 0) framesAtStart_ = ActiveFrames(state);
        return ActiveFrames(state) - framesAtStart_ >= command.count;
    }
    if (command.verb == "type") {
        PushText(command.text);
        return true;
    }
    if (command.verb == "key") {
        PushKey(command.text, step_ == 0);
        return step_ == 1;
    }
    if (command.verb == "mark") {
        Mark(window, state, command.text);
        return true;
    }
    return StepPointer(command);
}

// click and drag: frame 0 moves the pointer onto the widget, frame 1 presses, the drag's frames
// move it in even steps, the last frame releases.
bool Script::StepPointer(const Command& command) {
    const int moves = command.verb == "drag" ? kDragSteps : 0;
    if (step_ == 0) {
        const std::optional<ImVec2> centre = NamedItemCentre(command.text);
        driving_ = true;
        pointer_ = centre.value_or(ImVec2(-1, -1));
        down_ = false;
        if (!centre) std::fprintf(stderr, "korvex-viewer: script: no widget named \"%s\"\n", command.text.c_str());
        return !centre;
    }
    if (step_ == 1) {
        down_ = true;
        return false;
    }
    if (step_ <= 1 + moves) {
        pointer_.x += command.offset.x / kDragSteps;
        pointer_.y += command.offset.y / kDragSteps;
        return false;
    }
    down_ = false;
    return true;
}

}  // namespace korvex::viewer
