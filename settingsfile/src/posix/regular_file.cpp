#include "posix/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvex::settings {
namespace {

const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISDIR(mode)) return "a folder";
    return "not a regular file";
}

std::string TooLarge() { return "larger than " + std::to_string(kMaxSettingsFileBytes >> 20) + " MiB"; }

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

int OpenRegularFile(const std::string& path, int extraFlags, FileRefusal& refusal) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | extraFlags, 0666);
    if (fd < 0) {
        if (errno != ENOENT) refusal.reason = SystemError("cannot be opened");
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        refusal.reason = SystemError("cannot be examined");
    } else if (!S_ISREG(info.st_mode)) {
        refusal.reason = std::string("it is ") + KindOf(info.st_mode) + ", not a regular file";
    } else if (static_cast<std::size_t>(info.st_size) > kMaxSettingsFileBytes) {
        refusal.reason = "it is " + TooLarge();
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

bool ReadRegularFile(int fd, std::string& text, FileRefusal& refusal) {
    struct stat info {};
    if (fstat(fd, &info) == 0) text.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            refusal.reason = SystemError("cannot be read");
            return false;
        }
        if (n == 0) return true;
        if (text.size() + static_cast<std::size_t>(n) > kMaxSettingsFileBytes) {
            refusal.reason = "it grew " + TooLarge() + " while being read";
            return false;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
}

bool ReadSettingsText(const std::string& path, std::string& text, FileRefusal& refusal) {
    const int fd = OpenRegularFile(path, 0, refusal);
    if (fd < 0) return false;
    const bool read = ReadRegularFile(fd, text, refusal);
    close(fd);
    return read;
}

}  // namespace korvex::settings
