// Settings file on POSIX: the folder from the environment, the text kept by profile_text, read
// only as regular_file allows, and every write made by locked_replace as one locked, atomic and
// durable replacement.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/log.h"
#include "platform/posix/locked_replace.h"
#include "platform/posix/profile_text.h"
#include "platform/posix/regular_file.h"
#include "platform/profile_store.h"

namespace korvex::platform {
namespace {

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// $KORVEX_CONFIG_DIR, else $XDG_CONFIG_HOME, else $HOME/.config; empty when none is known.
std::string SettingsFolder() {
    if (std::string dir = NonEmptyEnv("KORVEX_CONFIG_DIR"); !dir.empty()) return dir;
    if (std::string dir = NonEmptyEnv("XDG_CONFIG_HOME"); !dir.empty()) return dir;
    if (std::string home = NonEmptyEnv("HOME"); !home.empty()) return home + "/.config";
    return {};
}

std::string SettingsPath(const char* fileName) {
    std::string folder = SettingsFolder();
    return folder.empty() ? std::string(fileName) : folder + "/" + fileName;
}

// The file's text, or empty when it is missing or refused (the user told why).
std::string ReadSettings(const std::string& path) {
    std::string text;
    FileRefusal refusal;
    if (!ReadSettingsText(path, text, refusal)) {
        if (refusal) {
            ReportRefusal(path, refusal, "is not read");
            KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Warn, diagnostics::kNoCamera,
                   "settings file %s: not read: %s; ratios read as missing", path.c_str(), refusal.reason.c_str());
        }
        return {};
    }
    return text;
}

void CopyValue(std::string_view value, char* out, uint32_t size, uint32_t& copied) {
    const std::size_t count = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), count);
    out[count] = '\0';
    copied = static_cast<uint32_t>(count);
}

std::vector<ProfileSetting> SettingsOf(const ProfileEntry* entries, uint32_t count) {
    std::vector<ProfileSetting> settings;
    settings.reserve(count);
    for (uint32_t i = 0; i < count; ++i) settings.push_back({entries[i].section, entries[i].key, entries[i].value});
    return settings;
}

// True when holds finds every entry's stored text already giving its value.
bool AllHold(std::string_view text, const std::vector<ProfileSetting>& settings, ProfileValueHolds holds) {
    const std::vector<std::optional<std::string>> stored = FindProfileValues(text, settings);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const std::string cut = stored[i] ? stored[i]->substr(0, kProfileValueSize - 1) : std::string();
        if (!holds(stored[i] ? cut.c_str() : nullptr, std::string(settings[i].value).c_str())) return false;
    }
    return true;
}

bool WriteSettings(const ProfileEntry* entries, uint32_t count, const char* fileName, ProfileValueHolds holds) {
    const std::string path = SettingsPath(fileName);
    const std::vector<ProfileSetting> settings = SettingsOf(entries, count);
    FileRefusal refusal;
    errno = 0;
    const bool written = EditFileLocked(
        FollowLinks(path),
        [&settings, holds](std::string_view old) {
            if (holds != nullptr && AllHold(old, settings, holds)) return std::string(old);
            return SetProfileValues(old, settings);
        },
        refusal);
    if (refusal) ReportRefusal(path, refusal, "is left as it was");
    if (!written) {
        KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Error, diagnostics::kNoCamera,
               "settings file %s: write (locked replace) failed: %s", path.c_str(),
               refusal ? refusal.reason.c_str() : (errno != 0 ? std::strerror(errno) : "unknown reason"));
    }
    return written;
}

}  // namespace

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out, uint32_t size,
                           const char* fileName) {
    if (out == nullptr || size == 0) return 0;
    const std::string text = ReadSettings(SettingsPath(fileName));
    const std::optional<std::string> found = FindProfileValue(text, section, key);
    uint32_t copied = 0;
    CopyValue(found ? std::string_view(*found) : std::string_view(defaultValue ? defaultValue : ""), out, size, copied);
    return copied;
}

void ReadProfileStrings(ProfileQuery* queries, uint32_t count, const char* defaultValue, const char* fileName) {
    const std::string text = ReadSettings(SettingsPath(fileName));
    std::vector<ProfileSetting> keys;
    keys.reserve(count);
    for (uint32_t i = 0; i < count; ++i) keys.push_back({queries[i].section, queries[i].key, {}});
    const std::vector<std::optional<std::string>> values = FindProfileValues(text, keys);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t copied = 0;
        CopyValue(values[i] ? std::string_view(*values[i]) : std::string_view(defaultValue ? defaultValue : ""),
                  queries[i].value, kProfileValueSize, copied);
    }
}

bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName) {
    return WriteSettings(entries, count, fileName, nullptr);
}

bool WriteChangedProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName,
                                ProfileValueHolds holds) {
    return WriteSettings(entries, count, fileName, holds);
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::platform
