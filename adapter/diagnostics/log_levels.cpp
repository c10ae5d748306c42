// Names of the log's levels and domains.
#include "diagnostics/log_levels.h"

namespace korvex::diagnostics {

std::string_view LevelName(Level level) {
    switch (level) {
        case Level::Off: return "off";
        case Level::Error: return "error";
        case Level::Warn: return "warn";
        case Level::Info: return "info";
        case Level::Debug: return "debug";
        case Level::Trace: return "trace";
    }
    return "?";
}

std::string_view DomainName(Domain domain) {
    switch (domain) {
        case Domain::Lifecycle: return "lifecycle";
        case Domain::Guard: return "guard";
        case Domain::Camera: return "camera";
        case Domain::Capture: return "capture";
        case Domain::Export: return "export";
        case Domain::Colour: return "colour";
        case Domain::Settings: return "settings";
        case Domain::Message: return "message";
        case Domain::Control: return "control";
        case Domain::Log: return "log";
    }
    return "?";
}

}  // namespace korvex::diagnostics
