// The few file-system services the checked file writer needs beyond std::filesystem, one file per
// platform: a new file that no other writer can share, and the flush of data to the disk.
#pragma once

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace korvex::image {

// Creates file, failing when anything of that name exists already (the test and the creation are
// one step), and opens it for binary writing. Null with the reason in error on failure.
std::FILE* CreateNewFile(const std::filesystem::path& file, std::error_code& error);

// Pushes what was written to file through the library's and the system's buffers to the disk.
bool FlushToDisk(std::FILE* file, std::error_code& error);

// Makes a rename inside folder last across a power loss, where the system needs that; best effort.
void FlushFolder(const std::filesystem::path& folder);

}  // namespace korvex::image
