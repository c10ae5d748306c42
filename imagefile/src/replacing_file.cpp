#include "replacing_file.h"

#include <cerrno>
#include <random>

#include "file_system.h"

namespace korvex::image {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 16;

// A link is followed, so that replacing the file keeps the link and changes what it names.
fs::path FollowLink(const fs::path& destination) {
    std::error_code error;
    if (!fs::is_symlink(destination, error)) return destination;
    fs::path target = fs::weakly_canonical(destination, error);
    return error ? destination : target;
}

fs::path PartialName(const fs::path& target, unsigned long number) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".partial-%08lx", number);
    return target.parent_path() / ("." + target.filename().string() + suffix);
}

}  // namespace

ReplacingFile::ReplacingFile(const fs::path& destination) : target_(FollowLink(destination)) {
    std::error_code error;
    const fs::file_status status = fs::status(target_, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        Fail("it exists and is not a regular file");
        return;
    }
    std::random_device source;
    for (int attempt = 0; attempt < kNameAttempts && file_ == nullptr; ++attempt) {
        const fs::path name = PartialName(target_, source());
        error.clear();
        file_ = CreateNewFile(name, error);
        if (file_ != nullptr) partial_ = name;
        if (error != std::errc::file_exists) break;
    }
    if (file_ == nullptr) Fail(error ? error.message() : "no unused name for a file beside it");
}

ReplacingFile::~ReplacingFile() {
    Close();
    std::error_code ignored;
    if (!committed_ && !partial_.empty()) fs::remove(partial_, ignored);
}

void ReplacingFile::Write(const void* data, std::size_t size) {
    if (file_ == nullptr || size == 0) return;
    if (std::fwrite(data, 1, size, file_) != size) {
        Fail(std::error_code(errno, std::generic_category()).message());
        Close();
    }
}

WriteResult ReplacingFile::Commit() {
    std::error_code error;
    if (file_ != nullptr && !FlushToDisk(file_, error)) Fail(error.message());
    if (file_ != nullptr && std::fclose(file_) != 0) Fail(std::error_code(errno, std::generic_category()).message());
    file_ = nullptr;
    if (!failure_.empty()) return {false, failure_};
    fs::rename(partial_, target_, error);
    if (error) return {false, error.message()};
    committed_ = true;
    FlushFolder(target_.parent_path());
    return {true, {}};
}

void ReplacingFile::Fail(const std::string& reason) {
    if (failure_.empty()) failure_ = reason;
}

void ReplacingFile::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

}  // namespace korvex::image
