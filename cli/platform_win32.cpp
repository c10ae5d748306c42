#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "platform.h"

namespace korvex::cli {

// On Windows the adapter's messages are message boxes that no environment variable turns off. The
// tool opens a camera before every call that needs one, so only a camera that fails to open can
// still show a box.
void RouteMessagesToStandardError() {}

void SetEnvironment(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

}  // namespace korvex::cli
