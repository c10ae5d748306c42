// The library's own file name without folder and extension, taken once when it is loaded.
#pragma once

namespace korvex::platform {

const char* OwnModuleCaption();

}  // namespace korvex::platform
