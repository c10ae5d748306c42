// The private-profile text layout, in memory: finding and replacing one value while keeping
// every other byte of the text. Used where the platform has no private-profile service.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::settings {

// The value of key in section, blanks and one pair of surrounding quotes removed; nothing when
// the section or key is missing. Names match without regard to case; the first match counts.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key);

// A key of a section, and for setting, its new value.
struct ProfileSetting {
    std::string_view section;
    std::string_view key;
    std::string_view value;
};

// FindProfileValue for every setting's section and key (the value is ignored), in one pass over
// the text: a large file costs one reading however many keys are asked for.
std::vector<std::optional<std::string>> FindProfileValues(std::string_view text, std::span<const ProfileSetting> keys);

// The text with every setting applied, in order, as SetProfileValue one after the other would
// give it, made in one pass over the text. A key set twice keeps its place and takes the later
// value.
std::string SetProfileValues(std::string_view text, std::span<const ProfileSetting> settings);

// The text with key in section set to value. A missing key is added after the section's last
// entry, a missing section at the end. Every other line, comments and line endings included,
// is kept as it was.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace korvex::settings
