// Keeps the adapter's misuse messages on the terminal instead of a modal box.
#pragma once

namespace korvex::cli {

// Unless the user chose a dialog program, makes the adapter print its messages on standard error.
void RouteMessagesToStandardError();

}  // namespace korvex::cli
