// Reading a settings file safely: only a regular file, opened so that opening cannot block (a FIFO
// would wait for a writer for ever), and only up to a size limit (a link to /dev/zero never ends).
#pragma once

#include <cstddef>
#include <string>

namespace korvex::settings {

// Far above any real settings file (ten cameras' ratios take a few hundred bytes), yet a bound on
// the memory a read can take.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{64} << 20;  // 64 MiB

// Why a file was not used; empty when it was.
struct FileRefusal {
    std::string reason;
    explicit operator bool() const { return !reason.empty(); }
};

// Opens path for reading without blocking, with extraFlags (O_CREAT to make a missing file), and
// checks that it is a regular file no larger than the limit. The descriptor, or -1 with refusal set
// (a missing file without O_CREAT gives -1 and no refusal).
int OpenRegularFile(const std::string& path, int extraFlags, FileRefusal& refusal);

// Reads all of an open regular file, refusing it when it grows past the limit while being read.
bool ReadRegularFile(int fd, std::string& text, FileRefusal& refusal);

// The whole text of the regular file at path. False when it is missing (refusal empty) or refused.
bool ReadSettingsText(const std::string& path, std::string& text, FileRefusal& refusal);

}  // namespace korvex::settings
