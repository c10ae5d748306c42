// Parsing KORVEX_LOG, without allocation: the entries are views into the text.
#include "diagnostics/log_filter.h"

#include <optional>

namespace korvex::diagnostics {
namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view given, std::string_view name) {
    if (given.size() != name.size()) return false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const char c = given[i] >= 'A' && given[i] <= 'Z' ? static_cast<char>(given[i] - 'A' + 'a') : given[i];
        if (c != name[i]) return false;
    }
    return true;
}

std::optional<Level> FindLevel(std::string_view name) {
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        const auto level = static_cast<Level>(i);
        if (SameName(name, LevelName(level))) return level;
    }
    return std::nullopt;
}

std::optional<Domain> FindDomain(std::string_view name) {
    for (std::size_t i = 0; i < kDomainCount; ++i) {
        const auto domain = static_cast<Domain>(i);
        if (SameName(name, DomainName(domain))) return domain;
    }
    return std::nullopt;
}

// What the entries say so far: the level for unnamed domains and each named domain's own.
struct Settings {
    Level fallback = Level::Off;
    std::array<std::optional<Level>, kDomainCount> named{};
};

// Applies one entry; false when it is not understood.
bool ApplyEntry(std::string_view entry, Settings& settings) {
    const std::size_t colon = entry.find(':');
    const std::string_view domainName = colon == std::string_view::npos ? "*" : Trim(entry.substr(0, colon));
    const std::string_view levelName = colon == std::string_view::npos ? entry : Trim(entry.substr(colon + 1));
    const std::optional<Level> level = FindLevel(levelName);
    if (!level) return false;
    if (domainName == "*") {
        settings.fallback = *level;
        return true;
    }
    const std::optional<Domain> domain = FindDomain(domainName);
    if (!domain) return false;
    settings.named[static_cast<std::size_t>(*domain)] = *level;
    return true;
}

}  // namespace

LogFilter ParseLogFilter(std::string_view text) {
    LogFilter filter;
    Settings settings;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view entry = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (entry.empty() || ApplyEntry(entry, settings)) continue;
        if (filter.skippedCount < kMaxSkippedEntries) filter.skipped[filter.skippedCount] = entry;
        ++filter.skippedCount;
    }
    for (std::size_t i = 0; i < kDomainCount; ++i) filter.levels[i] = settings.named[i].value_or(settings.fallback);
    return filter;
}

bool AnyDomainOn(const LogFilter& filter) {
    for (const Level level : filter.levels)
        if (level != Level::Off) return true;
    return false;
}

}  // namespace korvex::diagnostics
