// Settings file on POSIX: the folder from the environment, the text kept by profile_text, and
// every write made by locked_replace as one locked, atomic and durable replacement.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/posix/locked_replace.h"
#include "platform/posix/profile_text.h"
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

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out, uint32_t size,
                           const char* fileName) {
    if (out == nullptr || size == 0) return 0;
    std::string text;
    std::string value = defaultValue ? defaultValue : "";
    if (ReadWholeFile(SettingsPath(fileName), text)) {
        if (auto found = FindProfileValue(text, section, key)) value = *found;
    }
    const std::size_t count = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), count);
    out[count] = '\0';
    return static_cast<uint32_t>(count);
}

bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName) {
    return EditFileLocked(FollowLinks(SettingsPath(fileName)), [entries, count](std::string_view old) {
        std::string text(old);
        for (uint32_t i = 0; i < count; ++i)
            text = SetProfileValue(text, entries[i].section, entries[i].key, entries[i].value);
        return text;
    });
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::platform
