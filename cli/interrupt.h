// Ctrl-C as a request to stop: the commands that run until told finish their work, stop capture
// and close the cameras (which stores their white balance) instead of dying mid-way.
#pragma once

namespace korvex::cli {

// From now on SIGINT sets a flag instead of ending the process.
void CatchInterrupt();

// True once SIGINT arrived after CatchInterrupt.
bool Interrupted();

}  // namespace korvex::cli
