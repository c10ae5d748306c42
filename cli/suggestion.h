// "Did you mean": the known name closest to a mistyped one.
#pragma once

#include <string>
#include <vector>

namespace korvex::cli {

// The name within a small edit distance of typed (two edits, or one in three letters for long names), the closest
// one first; empty when none is that close.
std::string ClosestName(const std::string& typed, const std::vector<std::string>& names);

}  // namespace korvex::cli
