// A file written beside its destination and moved into place only when whole: readers of the
// destination never see it half-written, and a failure at any step leaves it as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "image_file.h"

namespace korvex::image {

class ReplacingFile {
public:
    // Creates a new file of a unique name beside destination (beside the file a link names, so
    // that the link stays). A destination that exists and is not a regular file (a device, a
    // folder) is refused: nothing is created and Commit reports why.
    explicit ReplacingFile(const std::filesystem::path& destination);
    // Removes the partial file unless Commit moved it into place.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Appends bytes; after the first failure, later writes do nothing and Commit reports it.
    void Write(const void* data, std::size_t size);

    // Flushes the file to the disk, closes it and renames it to the destination, each step
    // checked. Call it once.
    WriteResult Commit();

private:
    void Fail(const std::string& reason);
    void Close();

    std::filesystem::path target_;   // the file to replace, links followed
    std::filesystem::path partial_;  // the file being written, empty when none was created
    std::FILE* file_ = nullptr;
    std::string failure_;  // the first failure's reason; empty while all went well
    bool committed_ = false;
};

}  // namespace korvex::image
