// Names of the log's levels and domains, from their lists.
#include "diagnostics/log_levels.h"

namespace korvex::diagnostics {
namespace {

#define KX_LOG_NAME(enumerator, name, ...) name,
constexpr std::string_view kLevelNames[] = {KX_LOG_LEVELS(KX_LOG_NAME)};
constexpr std::string_view kDomainNames[] = {KX_LOG_DOMAINS(KX_LOG_NAME)};
#undef KX_LOG_NAME

#define KX_LOG_LABEL(enumerator, name, label) label,
constexpr const char* kLevelLabels[] = {KX_LOG_LEVELS(KX_LOG_LABEL)};
#undef KX_LOG_LABEL

}  // namespace

// Each name with a ", " before it; the list starts after the first two characters.
#define KX_LOG_LISTED(enumerator, name, ...) ", " name
const char* const kLevelNameList = &(KX_LOG_LEVELS(KX_LOG_LISTED))[2];
const char* const kDomainNameList = &(KX_LOG_DOMAINS(KX_LOG_LISTED))[2];
#undef KX_LOG_LISTED

std::string_view LevelName(Level level) {
    const auto index = static_cast<std::size_t>(level);
    return index < kLevelCount ? kLevelNames[index] : "?";
}

std::string_view DomainName(Domain domain) {
    const auto index = static_cast<std::size_t>(domain);
    return index < kDomainCount ? kDomainNames[index] : "?";
}

const char* LevelLabel(Level level) {
    const auto index = static_cast<std::size_t>(level);
    return index < kLevelCount ? kLevelLabels[index] : "?    ";
}

}  // namespace korvex::diagnostics
