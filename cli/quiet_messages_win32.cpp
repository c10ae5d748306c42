// On Windows the adapter's messages are message boxes that no environment variable turns off. The
// tool opens a camera before every call that needs one, so only a camera that fails to open can
// still show a box.
#include "quiet_messages.h"

namespace korvex::cli {

void RouteMessagesToStandardError() {}

}  // namespace korvex::cli
