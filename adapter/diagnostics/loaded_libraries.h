// Paths of the libraries in this process, for the log's start line: which adapter and which
// camera libraries a support engineer is looking at.
#pragma once

#include <cstddef>

namespace korvex::diagnostics {

// The file that holds this code (the adapter, or a program linked with it), into out.
bool OwnLibraryPath(char* out, std::size_t size);

// The file of the loaded library with this base name ("HVDAILT": libHVDAILT.so, HVDAILT.dll), into
// out; false when no such library is loaded. Never loads one.
bool LoadedLibraryPath(const char* baseName, char* out, std::size_t size);

}  // namespace korvex::diagnostics
