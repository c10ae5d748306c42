// Editing a small text file so that every reader sees it whole, old or new, and concurrent
// writers, in this process or others, take turns instead of losing each other's changes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "posix/regular_file.h"

namespace korvex::settings {

// The file a path finally names: symbolic links followed, also dangling ones, so that replacing
// it updates the link's target and leaves the link in place.
std::string FollowLinks(std::string path);

// What an edit came to.
enum class EditResult {
    kReplaced,   // the file now holds the edited text
    kUnchanged,  // the edited text equals the file's: nothing was written
    kFailed,     // the file is as it was
};

// Reads the file at path (empty when missing), passes its text to edit and replaces the file with
// the result: written beside it, flushed to disk, renamed over it, and the folder flushed so that
// the rename lasts. A result equal to the text writes nothing; a missing file that edit leaves
// empty is not made, nor its folder. kFailed, with the file as it was, when it cannot be read or
// replaced; refusal then says why (the file is not a regular one or exceeds the size limit of
// regular_file.h, which no writer replaces, or the system's reason for the step that failed).
//
// Writers lock the file they replace, so edits made at the same time apply one after the other.
// The new text goes into an unnamed file where the file system allows it, so a writer killed
// mid-write leaves nothing behind. A temporary named after the file (with kTemporaryMark) exists
// only between naming and renaming, or throughout where unnamed files are not available; the next
// writer removes any such leftover.
EditResult EditFileLocked(const std::string& path, const std::function<std::string(std::string_view)>& edit,
                          FileRefusal& refusal);

// Whether a file could be written beside path now: its folder is made when missing, and a
// temporary is made there and removed. False with the system's reason in refusal.
bool CanWriteBeside(const std::string& path, FileRefusal& refusal);

// Marks the names of temporaries made beside a file: "<file name>.partial-<suffix>".
inline constexpr std::string_view kTemporaryMark = ".partial-";

}  // namespace korvex::settings
