// Scripted input for tests and for the README's screenshot (--test-script): a file of commands run one after the
// other, each over one or more frames of the UI, so that a run is bounded by frames, not by time.
//
//   wait-frames N     until the active camera has shown N more frames
//   click NAME        the pointer to the centre of the named widget, press and release
//   drag NAME DX DY   press at the centre of NAME, move by DX, DY pixels, release
//   type TEXT         text input, as typed on the keyboard
//   key NAME          a key press and release, by SDL key name (Return, Space, S, Q)
//   mark LABEL        print "mark LABEL window W H active D image D X Y W H FW FH ..." (the
//                     window's size, the camera the controls act on, and per shown camera where
//                     its image lies and the frame's size) on
//                     standard output, then wait for a line on standard input (a screenshot
//                     is taken meanwhile)
//
// The pointer and its button are handed to Dear ImGui's input state (its SDL back end reads the
// pointer from the X server, which a test cannot move without a window manager's help); keys and
// text go through SDL's event queue, as typed keys do.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "imgui.h"
#include "viewer_state.h"

namespace korvex::viewer {

class Script {
public:
    // Reads the file; false with the reason in error when it cannot be read or has a bad line.
    bool Load(const std::string& path, std::string& error);
    bool Finished() const { return next_ >= commands_.size(); }
    // Runs the current command's step for this frame; call between the back end's NewFrame and
    // ImGui::NewFrame.
    void Step(SDL_Window* window, const ViewerState& state);

private:
    struct Command {
        std::string verb;
        std::string text;  // name, text, key or label
        long count = 0;    // wait-frames
        ImVec2 offset;     // drag
    };

    bool StepCommand(const Command& command, SDL_Window* window, const ViewerState& state);
    bool StepPointer(const Command& command);

    std::vector<Command> commands_;
    std::size_t next_ = 0;
    int step_ = 0;
    long framesAtStart_ = 0;
    bool driving_ = false;
    ImVec2 pointer_;
    bool down_ = false;
};

}  // namespace korvex::viewer
