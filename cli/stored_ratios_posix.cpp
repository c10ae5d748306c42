// Korvex.ini in the private-profile layout ("[Video Parameter<n-1>]", "RGain=1.150000"), found by
// the adapter's rule: $KORVEX_CONFIG_DIR, else $XDG_CONFIG_HOME, else $HOME/.config.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "stored_ratios.h"

namespace korvex::cli {
namespace {

namespace fs = std::filesystem;
constexpr std::uintmax_t kLargestSettingsFile = 16u << 20;  // far above any real one

std::optional<fs::path> SettingsFolder() {
    for (const char* name : {"KORVEX_CONFIG_DIR", "XDG_CONFIG_HOME"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return fs::path(value);
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return fs::path(home) / ".config";
    return std::nullopt;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// A ratio as the adapter reads it: a leading number, 0 (taken as 1.0) when there is none.
double RatioOf(const std::string& text) {
    const double value = std::strtod(text.c_str(), nullptr);
    return value > 0.0 && value < 1e6 ? value : 1.0;
}

void ReadInto(std::istream& in, const std::string& section, StoredRatios& ratios) {
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        const std::string text = Trimmed(line);
        if (!text.empty() && text.front() == '[') {
            const auto close = text.find(']');
            inSection = close != std::string::npos && SameName(Trimmed(text.substr(1, close - 1)), section);
            continue;
        }
        const auto equals = text.find('=');
        if (!inSection || equals == std::string::npos) continue;
        const std::string key = Trimmed(text.substr(0, equals));
        if (SameName(key, "RGain")) ratios.red = RatioOf(Trimmed(text.substr(equals + 1)));
        if (SameName(key, "BGain")) ratios.blue = RatioOf(Trimmed(text.substr(equals + 1)));
    }
}

}  // namespace

StoredRatios ReadStoredRatios(int16_t device) {
    StoredRatios ratios;
    const std::optional<fs::path> folder = SettingsFolder();
    if (!folder) return ratios;
    const fs::path file = *folder / "Korvex.ini";
    std::error_code error;
    // Only a regular file of sane size: a FIFO would block and /dev/zero never end.
    if (!fs::is_regular_file(file, error) || fs::file_size(file, error) > kLargestSettingsFile || error) return ratios;
    std::ifstream in(file, std::ios::binary);
    ReadInto(in, "Video Parameter" + std::to_string(device - 1), ratios);
    return ratios;
}

}  // namespace korvex::cli
