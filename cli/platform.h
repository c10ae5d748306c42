// The few services the tool takes from the operating system, one file per platform.
#pragma once

#include <string>

namespace korvex::cli {

// Unless the user chose a dialog program, makes the adapter print its messages on standard error.
void RouteMessagesToStandardError();

// Sets an environment variable for this process, so that the adapter sees it at its first call.
void SetEnvironment(const std::string& name, const std::string& value);

// True when standard output is a terminal, where a progress line may redraw itself.
bool StandardOutputIsTerminal();

}  // namespace korvex::cli
