// A modal warning box with one OK button. The calling thread waits until it is dismissed.
#pragma once

#include <cstdint>

namespace korvex::platform {

// messageId names the text in the library's own string resources where the platform has them;
// text is the same message, used where it has not.
void ShowModalWarning(uint32_t messageId, const char* caption, const char* text);

}  // namespace korvex::platform
