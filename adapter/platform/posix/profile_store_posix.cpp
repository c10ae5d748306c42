// Settings file on POSIX: the folder from the environment, the text kept by profile_text, and
// every write made by locked_replace as one locked, atomic and durable replacement.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "diagnostics/log.h"
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
    const std::string path = SettingsPath(fileName);
    if (ReadWholeFile(path, text)) {
        if (auto found = FindProfileValue(text, section, key)) value = *found;
    } else if (errno != ENOENT) {  // a missing file only means that nothing was stored yet
        KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Warn, diagnostics::kNoCamera,
               "settings file %s: read failed: %s; using the default", path.c_str(), std::strerror(errno));
    }
    const std::size_t count = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), count);
    out[count] = '\0';
    return static_cast<uint32_t>(count);
}

bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName) {
    const std::string path = FollowLinks(SettingsPath(fileName));
    errno = 0;
    const bool written = EditFileLocked(path, [entries, count](std::string_view old) {
        std::string text(old);
        for (uint32_t i = 0; i < count; ++i)
            text = SetProfileValue(text, entries[i].section, entries[i].key, entries[i].value);
        return text;
    });
    if (!written) {
        KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Error, diagnostics::kNoCamera,
               "settings file %s: write (locked replace) failed: %s", path.c_str(),
               errno != 0 ? std::strerror(errno) : "unknown reason");
    }
    return written;
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::platform
