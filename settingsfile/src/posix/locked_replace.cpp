// Locked, atomic and durable replacement of a small file on POSIX.
#include "posix/locked_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace korvex::settings {
namespace {

constexpr int kMaxLinkHops = 40;                // the kernel's own limit on nested links
constexpr int kMaxReplacedWhileWaiting = 1000;  // other writers' turns before giving up

// Closes the descriptor it holds when it goes out of scope.
struct OwnedDescriptor {
    int fd = -1;
    ~OwnedDescriptor() {
        if (fd >= 0) close(fd);
    }
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

bool LockExclusive(int fd) {
    while (flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        // A file system without locks, or one (NFS) that locks only files open for writing: go on
        // unlocked, as a lone writer always can.
        return errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL || errno == EBADF;
    }
    return true;
}

bool IsStillNamedBy(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// Opens the file (creating it empty when missing, so that first writers lock the same file) and
// locks it. A writer that replaced it while we waited leaves us holding the old file: try again.
// Anything but a regular file within the size limit is refused before it is locked or read.
int OpenLockedCurrent(const std::string& path, FileRefusal& refusal) {
    for (int turn = 0; turn < kMaxReplacedWhileWaiting; ++turn) {
        OwnedDescriptor file{OpenRegularFile(path, O_CREAT, refusal)};
        if (file.fd < 0 || !LockExclusive(file.fd)) return -1;
        if (IsStillNamedBy(file.fd, path)) return std::exchange(file.fd, -1);
    }
    return -1;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool FillAndFlush(int fd, const std::string& text, mode_t mode) {
    return fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
}

// Only writers holding the lock make temporaries, so any found by the lock holder is a leftover.
void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        if (std::string_view(entry->d_name).substr(0, prefix.size()) == prefix) unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

// The text in an unnamed file, named only once complete: a writer killed mid-write leaves nothing.
// Closes the descriptor, saying whether the close itself reported no error.
bool CloseChecked(OwnedDescriptor& file) {
    const int fd = std::exchange(file.fd, -1);
    return close(fd) == 0;
}

bool WriteUnnamed(const std::string& folder, const std::string& temporary, const std::string& text, mode_t mode) {
    OwnedDescriptor file{open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)};
    if (file.fd < 0 || !FillAndFlush(file.fd, text, mode)) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
    if (CloseChecked(file)) return true;
    unlink(temporary.c_str());
    return false;
}

bool WriteNamed(std::string& temporary, const std::string& text, mode_t mode) {
    OwnedDescriptor file{mkostemp(temporary.data(), O_CLOEXEC)};
    if (file.fd < 0) return false;
    if (FillAndFlush(file.fd, text, mode) && CloseChecked(file)) return true;
    unlink(temporary.c_str());
    return false;
}

// The new text, flushed to disk, under a temporary name beside the file; empty on failure.
std::string WriteTemporary(const std::string& folder, const std::string& prefix, const std::string& text, mode_t mode) {
    std::string temporary = folder + "/" + prefix + std::to_string(getpid());
    if (WriteUnnamed(folder, temporary, text, mode)) return temporary;
    temporary = folder + "/" + prefix + "XXXXXX";
    return WriteNamed(temporary, text, mode) ? temporary : std::string();
}

bool IsMissing(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

bool SyncFolder(const std::string& folder) {
    OwnedDescriptor dir{open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return dir.fd >= 0 && fsync(dir.fd) == 0;
}

// Says what failed, with the system's reason, unless a refusal already says why.
void NoteFailure(FileRefusal& refusal, const char* what) {
    if (!refusal) refusal.reason = std::string(what) + ": " + std::strerror(errno != 0 ? errno : EIO);
}

EditResult Failed(FileRefusal& refusal, const char* what) {
    NoteFailure(refusal, what);
    return EditResult::kFailed;
}

}  // namespace

std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof target)) return path;
        const std::string next(target, static_cast<std::size_t>(n));
        path = (next.front() == '/' || path.find('/') == std::string::npos) ? next : FolderOf(path) + "/" + next;
    }
    return path;
}

EditResult EditFileLocked(const std::string& path, const std::function<std::string(std::string_view)>& edit,
                          FileRefusal& refusal) {
    const std::string folder = FolderOf(path);
    if (IsMissing(path) && edit(std::string_view()).empty()) return EditResult::kUnchanged;
    if (!MakeFolders(folder)) return Failed(refusal, "its folder cannot be made");
    const OwnedDescriptor locked{OpenLockedCurrent(path, refusal)};
    if (locked.fd < 0) return Failed(refusal, "cannot be opened");
    std::string text;
    struct stat info {};
    if (fstat(locked.fd, &info) != 0 || !ReadRegularFile(locked.fd, text, refusal)) {
        return Failed(refusal, "cannot be read");
    }
    const std::string prefix = NameOf(path) + std::string(kTemporaryMark);
    RemoveLeftovers(folder, prefix);
    const std::string edited = edit(text);
    if (edited == text) return EditResult::kUnchanged;
    const std::string temporary = WriteTemporary(folder, prefix, edited, info.st_mode & 07777);
    if (temporary.empty()) return Failed(refusal, "no file can be written beside it");
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        errno = error;
        return Failed(refusal, "cannot be replaced");
    }
    if (!SyncFolder(folder)) return Failed(refusal, "its folder cannot be flushed");
    return EditResult::kReplaced;
}

bool CanWriteBeside(const std::string& path, FileRefusal& refusal) {
    const std::string target = FollowLinks(path);
    const std::string folder = FolderOf(target);
    std::string temporary = folder + "/" + NameOf(target) + std::string(kTemporaryMark) + "XXXXXX";
    if (!MakeFolders(folder)) {
        NoteFailure(refusal, "its folder cannot be made");
        return false;
    }
    const OwnedDescriptor file{mkostemp(temporary.data(), O_CLOEXEC)};
    if (file.fd < 0) {
        NoteFailure(refusal, "no file can be written beside it");
        return false;
    }
    unlink(temporary.c_str());
    return true;
}

}  // namespace korvex::settings
