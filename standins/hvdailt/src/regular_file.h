// Reading a whole file that must be an ordinary file on disk. It is opened so that opening
// cannot block (a FIFO without a writer would otherwise wait for one), and anything but a regular
// file (a FIFO, a device such as /dev/zero, a directory) is refused, as is a file larger than the
// limit, so that a recording folder cannot hang the simulator or fill its memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hvsim {

// Reads path into bytes. False, with the reason in error (the system's own text where there is
// one, e.g. "No such file or directory", "is a FIFO, not a regular file", "is larger than ...
// bytes"), when the file cannot be opened or read, is not a regular file or holds more than
// maxBytes. Throws nothing but std::bad_alloc.
bool ReadRegularFile(const std::filesystem::path& path, size_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& error);

}  // namespace hvsim
