// Settings file on POSIX: the folder from the environment, the text kept by profile_text, read
// only as regular_file allows, and every write made by locked_replace as one locked, atomic and
// durable replacement.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "posix/locked_replace.h"
#include "posix/profile_text.h"
#include "posix/regular_file.h"
#include "posix/settings_location.h"
#include "profile_store.h"

namespace korvex::settings {
namespace {

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string SettingsFolder() {
    if (std::string dir = NonEmptyEnv("KORVEX_CONFIG_DIR"); !dir.empty()) return dir;
    if (std::string dir = NonEmptyEnv("XDG_CONFIG_HOME"); !dir.empty()) return dir;
    if (std::string home = NonEmptyEnv("HOME"); !home.empty()) return home + "/.config";
    return {};
}

uint32_t CopyValue(std::string_view value, char* out, uint32_t size) {
    const std::size_t count = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), count);
    out[count] = '\0';
    return static_cast<uint32_t>(count);
}

std::string TextOf(const char* fileName) {
    std::string text;
    std::string reason;
    ReadSettingsAt(SettingsPath(fileName), text, reason);
    return text;
}

}  // namespace

std::string SettingsPath(const char* fileName) {
    const std::string folder = SettingsFolder();
    return folder.empty() ? std::string(fileName) : folder + "/" + fileName;
}

Outcome ReadSettingsAt(const std::string& path, std::string& text, std::string& reason) {
    FileRefusal refusal;
    if (ReadSettingsText(path, text, refusal)) return Outcome::kRead;
    text.clear();
    reason = refusal.reason;
    return refusal ? Outcome::kRefused : Outcome::kAbsent;
}

void FillQueries(std::string_view text, ProfileQuery* queries, uint32_t count, const char* defaultValue) {
    std::vector<ProfileSetting> keys;
    keys.reserve(count);
    for (uint32_t i = 0; i < count; ++i) keys.push_back({queries[i].section, queries[i].key, {}});
    const std::vector<std::optional<std::string>> values = FindProfileValues(text, keys);
    const std::string_view fallback = defaultValue ? defaultValue : "";
    for (uint32_t i = 0; i < count; ++i) {
        CopyValue(values[i] ? std::string_view(*values[i]) : fallback, queries[i].value, kProfileValueSize);
    }
}

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out, uint32_t size,
                           const char* fileName) {
    if (out == nullptr || size == 0) return 0;
    const std::optional<std::string> found = FindProfileValue(TextOf(fileName), section, key);
    return CopyValue(found ? std::string_view(*found) : std::string_view(defaultValue ? defaultValue : ""), out, size);
}

void ReadProfileStrings(ProfileQuery* queries, uint32_t count, const char* defaultValue, const char* fileName) {
    FillQueries(TextOf(fileName), queries, count, defaultValue);
}

bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName) {
    std::vector<ProfileSetting> settings;
    settings.reserve(count);
    for (uint32_t i = 0; i < count; ++i) settings.push_back({entries[i].section, entries[i].key, entries[i].value});
    FileRefusal refusal;
    const auto edit = [&settings](std::string_view old) { return SetProfileValues(old, settings); };
    return EditFileLocked(FollowLinks(SettingsPath(fileName)), edit, refusal) != EditResult::kFailed;
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::settings
