// The diagnostic log's levels and domains, and their names as KORVEX_LOG and the lines spell them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvex::diagnostics {

// Most severe first. A domain set to a level shows that level and every more severe one; Off shows
// nothing.
enum class Level : uint8_t { Off, Error, Warn, Info, Debug, Trace };

// What a line is about. Each domain has its own level.
enum class Domain : uint8_t {
    Lifecycle,  // state changes of a camera slot, open and close summaries (cameras, models, serials)
    Guard,      // calls refused by the guard: the function, the camera and the state that refused it
    Camera,     // calls into the camera library: operation, arguments, status, duration
    Capture,    // frames arriving: the callback, buffer index, frame count
    Export,     // exports and grabs: the wait for a frame and the conversion times
    Colour,     // white balance, colour tables, gamma
    Settings,   // the settings file: path, operation, the system's error text; values read and written
    Message,    // message boxes, and whether each was shown or went to standard error
    Control,    // exposure, geometry, gains, converter, trigger and strobe settings
    Log,        // the log's own set-up: a KORVEX_LOG entry skipped, a KORVEX_LOG_FILE not opened
};

inline constexpr std::size_t kDomainCount = 10;
inline constexpr std::size_t kLevelCount = 6;

std::string_view LevelName(Level level);     // "off", "error", ... as in KORVEX_LOG
std::string_view DomainName(Domain domain);  // "lifecycle", "guard", ... as in KORVEX_LOG and the lines

}  // namespace korvex::diagnostics
