#include <unistd.h>

#include <cstdlib>

#include "platform.h"

namespace korvex::cli {

// The adapter runs KORVEX_DIALOG for each message; a program that fails (`false`) makes it print
// the line "Caption: text" on standard error instead, so nothing waits for a click.
void RouteMessagesToStandardError() { setenv("KORVEX_DIALOG", "false", /*overwrite=*/0); }

void SetEnvironment(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

}  // namespace korvex::cli
