// Settings file on POSIX: the folder from the environment, the text kept by profile_text, and
// every write made as a new file renamed over the old one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return true;
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes text to a temporary file beside path, flushes it to disk and renames it over path, so
// that a crash or a full disk leaves either the old file or the new one, never a mix.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string folder = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
    if (!MakeFolders(folder)) return false;
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    struct stat old {};
    fchmod(fd, stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                           uint32_t size, const char* fileName) {
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

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const std::string path = SettingsPath(fileName);
    std::string text;
    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && !ReadWholeFile(path, text)) return false;  // never replace a file we could not read
    return ReplaceFile(path, SetProfileValue(text, section, key, value));
}

}  // namespace korvex::platform
