// Ctrl-C as a request to stop: the commands that run until told finish their work, stop capture
// and close the cameras (which stores their white balance) instead of dying mid-way. `record`
// also counts them: the first ends capture, the second abandons the recording.
#pragma once

namespace korvex::cli {

// From now on SIGINT is counted instead of ending the process.
void CatchInterrupt();

// True once SIGINT arrived after CatchInterrupt.
bool Interrupted();

// True once SIGINT arrived twice after CatchInterrupt.
bool InterruptedTwice();

}  // namespace korvex::cli
