// Where `korvex record` puts a recording: a folder of this run's own beside the destination,
// renamed to it once complete. The destination is replaced only when it holds a recording alone,
// checked when the run starts and again at the moment of the swap; a run whose destination
// changed in between fails and keeps its new recording in its own folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace korvex::cli {

class RecordingDestination {
public:
    // Checks the destination and creates this run's folder beside it. Throws CliError(kExitIo)
    // when the destination holds anything but a recording or the folder cannot be created.
    explicit RecordingDestination(const std::string& folder);
    // Removes this run's folder unless it was moved into place or kept.
    ~RecordingDestination();
    RecordingDestination(const RecordingDestination&) = delete;
    RecordingDestination& operator=(const RecordingDestination&) = delete;

    const std::filesystem::path& Destination() const { return destination_; }
    const std::filesystem::path& PartialFolder() const { return partial_; }

    // Renames this run's folder to the destination; the earlier recording there, if any, is
    // moved aside first and then its recording files alone are removed. Throws CliError(kExitIo)
    // when the destination changed since the start (this run's folder is then kept and named).
    void MoveIntoPlace();

private:
    // What tells one recording folder from another: its time of last change and its description.
    struct FolderState {
        std::filesystem::file_time_type changed;
        std::string description;
        bool operator==(const FolderState&) const = default;
    };
    static std::optional<FolderState> StateOf(const std::filesystem::path& folder);
    [[noreturn]] void ThrowChanged(const std::string& how);

    std::filesystem::path destination_;
    std::filesystem::path partial_;
    std::optional<FolderState> startState_;  // nothing when the destination was absent at the start
    bool keep_ = false;
};

// Whether a folder's entries are those of a recording (recording.txt and frame-*.png, and the
// partial files of their writing), so that replacing it loses nothing else.
bool HoldsOnlyRecording(const std::filesystem::path& folder);

}  // namespace korvex::cli
