// KORVEX_LOG's value: which level each domain shows.
//
// The value is a comma-separated list of entries, each either a level ("debug"), which sets the
// level of every domain that no entry names, or "domain:level" for one domain; "*:level" is the
// same as a bare level. A domain named by an entry takes that level whatever the order, so
// "capture:trace,*:warn" and "*:warn,capture:trace" agree; when an entry repeats, the later one
// wins. Levels: off, error, warn, info, debug, trace. Names ignore case and blanks around them.
//
// An entry that is not of this form, or names an unknown level or domain, is skipped and the
// others still apply; the entry is kept in skipped so that the log can say so. An empty or
// missing value leaves every domain off.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "diagnostics/log_levels.h"

namespace korvex::diagnostics {

inline constexpr std::size_t kMaxSkippedEntries = 4;

struct LogFilter {
    std::array<Level, kDomainCount> levels{};                    // every domain Off
    std::array<std::string_view, kMaxSkippedEntries> skipped{};  // views into the parsed text
    std::size_t skippedCount = 0;                                // all skipped entries, also those beyond the array
};

LogFilter ParseLogFilter(std::string_view text);

// True when some domain shows at least one level.
bool AnyDomainOn(const LogFilter& filter);

}  // namespace korvex::diagnostics
