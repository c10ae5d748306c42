// The private-profile text layout, in memory: finding and replacing one value while keeping
// every other byte of the text. Used where the platform has no private-profile service.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex::platform {

// The value of key in section, blanks and one pair of surrounding quotes removed; nothing when
// the section or key is missing. Names match without regard to case; the first match counts.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key);

// The text with key in section set to value. A missing key is added after the section's last
// entry, a missing section at the end. Every other line, comments and line endings included,
// is kept as it was.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace korvex::platform
