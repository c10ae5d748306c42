// The diagnostic log's levels and domains, each written once as a list from which the enums, the
// names that KORVEX_LOG and the lines use, and the help text of a skipped entry are made. Adding a
// domain is one row in KX_LOG_DOMAINS (and its row in the README's table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// LEVEL(Enumerator, name in KORVEX_LOG, label in a line, 5 wide). Most severe first. A domain set
// to a level shows that level and every more severe one; Off shows nothing.
#define KX_LOG_LEVELS(LEVEL)       \
    LEVEL(Off, "off", "OFF  ")     \
    LEVEL(Error, "error", "ERROR") \
    LEVEL(Warn, "warn", "WARN ")   \
    LEVEL(Info, "info", "INFO ")   \
    LEVEL(Debug, "debug", "DEBUG") \
    LEVEL(Trace, "trace", "TRACE")

// DOMAIN(Enumerator, name in KORVEX_LOG and the lines, what its lines are about). Each domain has
// its own level.
#define KX_LOG_DOMAINS(DOMAIN)                                                                                   \
    DOMAIN(Lifecycle, "lifecycle", "state changes of a camera slot, open and close summaries, the start line")   \
    DOMAIN(Guard, "guard", "calls refused by the guard: the function, the camera and the state that refused it") \
    DOMAIN(Camera, "camera", "calls into the camera library: operation, arguments, status in words, duration")   \
    DOMAIN(Capture, "capture", "frames arriving, and a camera that stopped delivering them")                     \
    DOMAIN(Export, "export", "exports and grabs: the wait for a frame and the conversion times")                 \
    DOMAIN(Colour, "colour", "white balance ratios chosen, colour tables, gamma, table resets")                  \
    DOMAIN(Settings, "settings", "the settings file: path, operation, the system's error text, values")          \
    DOMAIN(Message, "message", "message boxes, and whether each was shown or went to standard error")            \
    DOMAIN(Control, "control", "exposure asked and applied, geometry, gains, converter, trigger, strobe")        \
    DOMAIN(Log, "log", "the log's own set-up and health: skipped entries, an unopened file, dropped lines")

namespace korvex::diagnostics {

#define KX_LOG_ENUMERATOR(enumerator, ...) enumerator,
enum class Level : uint8_t { KX_LOG_LEVELS(KX_LOG_ENUMERATOR) };
enum class Domain : uint8_t { KX_LOG_DOMAINS(KX_LOG_ENUMERATOR) };
#undef KX_LOG_ENUMERATOR

#define KX_LOG_COUNT(...) +1
inline constexpr std::size_t kLevelCount = 0 KX_LOG_LEVELS(KX_LOG_COUNT);
inline constexpr std::size_t kDomainCount = 0 KX_LOG_DOMAINS(KX_LOG_COUNT);
#undef KX_LOG_COUNT

std::string_view LevelName(Level level);     // "off", "error", ... as in KORVEX_LOG
std::string_view DomainName(Domain domain);  // "lifecycle", "guard", ... as in KORVEX_LOG and the lines
const char* LevelLabel(Level level);         // "ERROR", "WARN ", ...: five characters, as in the lines

// "off, error, warn, info, debug, trace" and "lifecycle, guard, ..., log", for a help text.
extern const char* const kLevelNameList;
extern const char* const kDomainNameList;

}  // namespace korvex::diagnostics
