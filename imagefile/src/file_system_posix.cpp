#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "file_system.h"

namespace korvex::image {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

std::FILE* CreateNewFile(const std::filesystem::path& file, std::error_code& error) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        error = LastError();
        return nullptr;
    }
    std::FILE* stream = ::fdopen(descriptor, "wb");
    if (stream == nullptr) {
        error = LastError();
        ::close(descriptor);
    }
    return stream;
}

bool FlushToDisk(std::FILE* file, std::error_code& error) {
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0) {
        error = LastError();
        return false;
    }
    return true;
}

void FlushFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace korvex::image
