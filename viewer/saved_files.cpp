#include "saved_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace korvex::viewer {
namespace {

namespace fs = std::filesystem;
constexpr int kMostNames = 100000;

// Hidden, and unique to this process and call, so that two sessions never share one.
fs::path PartialPath(const fs::path& folder, const std::string& stem) {
    static std::atomic<unsigned> calls{0};
    return folder / ("." + stem + "partial-" + std::to_string(getpid()) + "-" + std::to_string(++calls));
}

// Renames unless target exists. Where the file system cannot rename without replacing, the
// check before the rename leaves a window that only another writer of the same name could use.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    std::error_code error;
    if (fs::exists(to, error) || error) return error ? error.value() : EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

SaveOutcome SaveUnderNewName(const fs::path& folder, const std::string& stem, const std::string& suffix,
                             const PartialWriter& write) {
    const fs::path partial = PartialPath(folder, stem);
    const std::string reason = write(partial);
    if (!reason.empty()) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        return {false, folder, reason};
    }
    for (int n = 1; n <= kMostNames; ++n) {
        const fs::path target = folder / (stem + std::to_string(n) + suffix);
        std::error_code error;
        if (fs::exists(target, error)) continue;
        const int failure = RenameNoReplace(partial, target);
        if (failure == 0) return {true, target, {}};
        if (failure == EEXIST || failure == ENOTEMPTY) continue;
        fs::remove_all(partial, error);
        return {false, target, std::generic_category().message(failure)};
    }
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    return {false, folder, "every name " + stem + "1" + suffix + " to " + std::to_string(kMostNames) + " is taken"};
}

std::string Describe(const SaveOutcome& outcome, const std::string& what) {
    if (outcome.written) return what + " written to " + outcome.path.string();
    return what + " not written to " + outcome.path.string() + (outcome.reason.empty() ? "" : ": " + outcome.reason);
}

}  // namespace korvex::viewer
