// Where snapshots and recordings go: each is written beside its destination under a name of its
// own and moved into place only when whole, under the first free name "<stem><n><suffix>", so that
// neither a failed write nor a later session ever replaces a user's file.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace korvex::viewer {

struct SaveOutcome {
    bool written = false;
    std::filesystem::path path;  // where it was written, or the file or folder it could not be written to
    std::string reason;          // the system's reason, when it gave one
};

// Writes a file or folder through write(partial path), which returns an empty string when the
// partial path holds the whole of it, else the reason; the partial file or folder is removed
// when write fails. Then moves it to folder/<stem><n><suffix> for the smallest n from 1 with no
// such name, never over an existing one.
using PartialWriter = std::function<std::string(const std::filesystem::path& partial)>;
SaveOutcome SaveUnderNewName(const std::filesystem::path& folder, const std::string& stem, const std::string& suffix,
                             const PartialWriter& write);

// "<what> written to PATH" or "<what> not written to PATH: reason", for the panel and the terminal.
std::string Describe(const SaveOutcome& outcome, const std::string& what);

}  // namespace korvex::viewer
