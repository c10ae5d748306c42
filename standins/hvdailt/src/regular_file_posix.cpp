// ReadRegularFile on POSIX: open with O_NONBLOCK, then fstat on the open descriptor, so that what
// is checked is what is read.
#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace hvsim {
namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

bool CheckKindAndSize(int fd, size_t maxBytes, std::string& error) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = std::string("is ") + KindOf(status.st_mode) + ", not a regular file";
        return false;
    }
    if (static_cast<uintmax_t>(status.st_size) > maxBytes) {
        error = "is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    return true;
}

}  // namespace

bool ReadRegularFile(const std::filesystem::path& path, size_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& error) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!CheckKindAndSize(file.Get(), maxBytes, error)) return false;
    bytes.clear();
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (got == 0) return true;
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) {  // it grew while being read
            error = "is larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

}  // namespace hvsim
