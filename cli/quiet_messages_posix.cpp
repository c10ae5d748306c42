// On POSIX the adapter runs KORVEX_DIALOG for each message; a program that fails (`false`) makes it
// print the line "Caption: text" on standard error instead, so nothing waits for a click.
#include <cstdlib>

#include "quiet_messages.h"

namespace korvex::cli {

void RouteMessagesToStandardError() { setenv("KORVEX_DIALOG", "false", /*overwrite=*/0); }

}  // namespace korvex::cli
