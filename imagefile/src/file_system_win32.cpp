#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "file_system.h"

namespace korvex::image {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

std::FILE* CreateNewFile(const std::filesystem::path& file, std::error_code& error) {
    const int descriptor =
        ::_wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        error = LastError();
        return nullptr;
    }
    std::FILE* stream = ::_fdopen(descriptor, "wb");
    if (stream == nullptr) {
        error = LastError();
        ::_close(descriptor);
    }
    return stream;
}

bool FlushToDisk(std::FILE* file, std::error_code& error) {
    if (std::fflush(file) != 0 || ::_commit(::_fileno(file)) != 0) {
        error = LastError();
        return false;
    }
    return true;
}

// Windows has no flush of a folder's entries: its file system journals them itself.
void FlushFolder(const std::filesystem::path&) {}

}  // namespace korvex::image
